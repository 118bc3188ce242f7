#pragma once
// The way a later start of the program hands what it was given to the copy that runs already: a local socket in
// the private runtime folder (beside the single-instance guard), listened on by the copy that holds the guard.
//
// One message per connection: the four bytes "MLOC", the time by which the message must be taken (8 bytes,
// big-endian, milliseconds of the system's monotonic clock), the length of the body (4 bytes, big-endian), and the
// body: for each location its length (4 bytes, big-endian) and its bytes as they are, so names that are not UTF-8
// pass unchanged. The listener answers a whole, well-formed message with one byte, Receipt when it takes the
// locations or Refusal when it cannot (its list is full), and then closes. A message read after its time is dropped:
// its sender has already said that nothing was opened (the copy was stopped, say, and its socket kept the message
// meanwhile). A copy that ends closes the connections it has not answered. A message without locations, from a start
// given none, asks the running copy to show itself.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLocalServer;

namespace forms {

namespace instancemessage {
inline constexpr std::size_t kMaxLocations = 32767;  // as many as a playlist holds rows
inline constexpr std::size_t kMaxLocationBytes = 64 * 1024;
inline constexpr std::size_t kMaxBodyBytes = 4 * 1024 * 1024;
inline constexpr char kReceipt = '\x06';
inline constexpr char kRefusal = '\x15';
}  // namespace instancemessage

// The message carrying `locations`, to be taken by `takeByMs` (monotonic clock); nothing when they exceed the bounds.
std::optional<QByteArray> EncodeLocations(const std::vector<std::string>& locations, qint64 takeByMs = 0);

enum class MessageState { Incomplete, Complete, Invalid };
struct DecodedMessage {
    MessageState state = MessageState::Incomplete;
    std::vector<std::string> locations;  // filled when Complete
    qint64 takeByMs = 0;
};
// Reads what has arrived so far: Incomplete while more is due, Invalid for anything that is not one message within
// the bounds (a wrong tag, a length past a bound, a location running past the body, bytes after the message).
DecodedMessage DecodeLocations(const QByteArray& received);

// The running copy's end. Each connection gets a few seconds to deliver its message; a peer that sends garbage, too
// much or nothing is dropped without an answer. Many later starts at once wait in a long listen queue and are served
// side by side, each as soon as an earlier one is done.
class InstanceServer : public QObject {
public:
    InstanceServer();
    ~InstanceServer() override;
    // Takes the socket `name` in the private runtime folder; a socket left there by a copy that died is replaced
    // (only the holder of the single-instance guard listens). False when it cannot listen.
    bool Listen(const QString& name);
    // Stops listening, as a copy that ends does: later starts find nobody, and the connections not yet answered are
    // closed without an answer, so their senders know that nothing was taken.
    void Close();

    // Offered every whole message, in the order they arrive; answers whether the locations are taken, which their
    // sender is told.
    std::function<bool(std::vector<std::string> locations)> Received;

private:
    class Connection;
    void Accept();

    QLocalServer* server_;  // owned as a child
    int connections_ = 0;   // being served
};

enum class HandOver {
    Taken,       // the running copy has the locations
    Refused,     // it answered that it cannot take them
    Unanswered,  // no copy listened, or it closed without an answer (it is ending), or the time ran out
    TookOver,    // the copy that ran has ended: this process holds the single-instance guard now
};

// The later copy's end: sends `locations` to the copy listening on `name` and waits for its answer, trying to
// connect again while no copy listens yet (it may be starting) as long as `keepTrying` (when given) says so and
// `timeoutMs` lasts.
HandOver HandOverToRunningInstance(const QString& name, const std::vector<std::string>& locations, int timeoutMs,
                                   const std::function<bool()>& keepTrying = {});

// A later start's hand-over of `locations` to the copy holding the single-instance guard `name`, tried again while
// `timeoutMs` lasts. A copy that is ending may not answer: once it lets the guard go, this process takes the guard
// and becomes the running copy itself (TookOver), so that what it was given is not lost.
HandOver HandOverOrTakeOver(const QString& name, const std::vector<std::string>& locations, int timeoutMs);

// The full name of the socket `name` in the private runtime folder; empty when there is no such folder.
QString InstanceSocketPath(const QString& name);

}  // namespace forms
