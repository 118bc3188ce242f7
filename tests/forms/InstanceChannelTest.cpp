// The message a later start hands its files over in, and the local socket it travels by: names keep their bytes,
// and a peer that sends garbage, too much, or nothing at all is dropped without an answer and without harm.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <atomic>
#include <thread>

#include "platform/forms/Application.h"
#include "platform/forms/InstanceChannel.h"

using namespace forms;

namespace {

// A message to be taken within a minute, or by `takeByMs`.
QByteArray Message(const std::vector<std::string>& locations,
                   qint64 takeByMs = QDeadlineTimer::current().deadline() + 60000) {
    const std::optional<QByteArray> message = EncodeLocations(locations, takeByMs);
    EXPECT_TRUE(message.has_value());
    return message.value_or(QByteArray());
}

QByteArray BigEndian(quint32 value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    return QByteArray(bytes, 4);
}

// The tag and a time, the start of every message.
QByteArray Head() {
    char time[8];
    qToBigEndian<qint64>(QDeadlineTimer::current().deadline() + 60000, time);
    return QByteArray("MLOC") + QByteArray(time, 8);
}

// Runs the event loop until `done` holds, for at most 20 seconds.
bool SpinUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(20000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A private runtime folder of the test's own, so no running player is reached.
class InstanceSocket : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        previous = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        server.Received = [this](std::vector<std::string> locations) {
            received.push_back(std::move(locations));
            return taking;
        };
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", previous); }

    // Hands `locations` over from another thread, as a later start does, while this thread serves.
    forms::HandOver Offer(const std::vector<std::string>& locations, int timeoutMs = 10000) {
        std::atomic<int> result{-1};
        std::thread sender([&] {
            result = static_cast<int>(HandOverToRunningInstance(QStringLiteral("test"), locations, timeoutMs));
        });
        const bool finished = SpinUntil([&] { return result != -1; });
        sender.join();
        return finished ? static_cast<forms::HandOver>(result.load()) : forms::HandOver::Unanswered;
    }
    bool HandOver(const std::vector<std::string>& locations, int timeoutMs = 10000) {
        return Offer(locations, timeoutMs) == forms::HandOver::Taken;
    }
    // Sends raw bytes from this thread and serves until the server has closed the connection; what it answered.
    QByteArray SendRaw(const QByteArray& bytes) {
        QLocalSocket socket;
        socket.connectToServer(InstanceSocketPath(QStringLiteral("test")));
        EXPECT_TRUE(socket.waitForConnected(5000));
        socket.write(bytes);
        socket.flush();
        QByteArray answer;
        EXPECT_TRUE(SpinUntil([&] {
            answer += socket.readAll();
            return socket.state() == QLocalSocket::UnconnectedState;
        }));
        return answer + socket.readAll();
    }

    QTemporaryDir runtime;
    QByteArray previous;
    InstanceServer server;
    std::vector<std::vector<std::string>> received;
    bool taking = true;  // what the server answers
};

}  // namespace

TEST(InstanceMessage, LocationsComeBackAsTheBytesTheyWere) {
    const std::vector<std::string> locations{"/music/\xC4\xE3\xBA\xC3.wav", "", "http://example.org/a b.mp3",
                                             std::string("/odd\xFF\x80name", 13)};
    const DecodedMessage decoded = DecodeLocations(Message(locations, 1234567890123));
    EXPECT_EQ(decoded.state, MessageState::Complete);
    EXPECT_EQ(decoded.locations, locations);
    EXPECT_EQ(decoded.takeByMs, 1234567890123);
    EXPECT_EQ(DecodeLocations(Message({})).state, MessageState::Complete);
    EXPECT_TRUE(DecodeLocations(Message({})).locations.empty());
}

TEST(InstanceMessage, APartOfAMessageWaitsForTheRest) {
    const QByteArray message = Message({"/a.wav", "/b.wav"});
    for (qsizetype cut = 0; cut < message.size(); ++cut)
        EXPECT_EQ(DecodeLocations(message.left(cut)).state, MessageState::Incomplete) << cut;
}

TEST(InstanceMessage, AnythingElseIsInvalid) {
    const QByteArray message = Message({"/a.wav"});
    EXPECT_EQ(DecodeLocations("GET / HTTP/1.1\r\n").state, MessageState::Invalid);
    EXPECT_EQ(DecodeLocations("X").state, MessageState::Invalid);
    EXPECT_EQ(DecodeLocations(message + "x").state, MessageState::Invalid);  // bytes after the message
    // A body longer than the bound is refused from its header, before it has arrived.
    EXPECT_EQ(DecodeLocations(Head() + BigEndian(instancemessage::kMaxBodyBytes + 1)).state, MessageState::Invalid);
    EXPECT_EQ(DecodeLocations(Head() + BigEndian(0xFFFFFFFF)).state, MessageState::Invalid);
    // A location that runs past the body, a location longer than its bound, a length cut short.
    EXPECT_EQ(DecodeLocations(Head() + BigEndian(6) + BigEndian(3) + "ab").state, MessageState::Invalid);
    const quint32 tooLong = instancemessage::kMaxLocationBytes + 1;
    EXPECT_EQ(DecodeLocations(Head() + BigEndian(4 + tooLong) + BigEndian(tooLong) + QByteArray(tooLong, 'a')).state,
              MessageState::Invalid);
    EXPECT_EQ(DecodeLocations(Head() + BigEndian(2) + "ab").state, MessageState::Invalid);
}

TEST(InstanceMessage, LocationsPastTheBoundsAreNotEncoded) {
    EXPECT_FALSE(EncodeLocations({std::string(instancemessage::kMaxLocationBytes + 1, 'a')}).has_value());
    EXPECT_TRUE(EncodeLocations({std::string(instancemessage::kMaxLocationBytes, 'a')}).has_value());
    EXPECT_FALSE(EncodeLocations(std::vector<std::string>(instancemessage::kMaxLocations + 1, "/a")).has_value());
}

TEST_F(InstanceSocket, TheSocketLivesInThePrivateRuntimeFolder) {
    EXPECT_EQ(InstanceSocketPath(QStringLiteral("test")), runtime.path() + QStringLiteral("/test.socket"));
    EXPECT_EQ(PrivateRuntimeFolder(), runtime.path());
}

TEST_F(InstanceSocket, HandedOverLocationsArriveInOrderWithTheirBytes) {
    ASSERT_TRUE(server.Listen(QStringLiteral("test")));
    const std::vector<std::string> first{"/music/\xC4\xE3\xBA\xC3.wav", "https://example.org/live"};
    const std::vector<std::string> second{"/b.wav"};
    EXPECT_TRUE(HandOver(first));
    EXPECT_TRUE(HandOver(second));
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], first);
    EXPECT_EQ(received[1], second);
}

TEST_F(InstanceSocket, ASocketLeftByACopyThatDiedIsTakenOver) {
    {
        InstanceServer dead;
        ASSERT_TRUE(dead.Listen(QStringLiteral("test")));
    }
    QFile stale(InstanceSocketPath(QStringLiteral("test")));
    if (!stale.exists()) {  // the closed server removed its socket: leave one as a killed copy would
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.close();
    }
    ASSERT_TRUE(server.Listen(QStringLiteral("test")));
    EXPECT_TRUE(HandOver({"/a.wav"}));
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(InstanceSocket, NoCopyListeningMeansNoReceipt) { EXPECT_FALSE(HandOver({"/a.wav"}, 500)); }

TEST_F(InstanceSocket, GarbageAndOversizedMessagesGetNoReceiptAndDeliverNothing) {
    ASSERT_TRUE(server.Listen(QStringLiteral("test")));
    EXPECT_TRUE(SendRaw("hello, is anyone there?").isEmpty());
    EXPECT_TRUE(SendRaw(Head() + BigEndian(0x7FFFFFFF)).isEmpty());
    EXPECT_TRUE(SendRaw(Message({"/a.wav"}) + "trailing").isEmpty());
    EXPECT_TRUE(received.empty());
    // The server still serves.
    EXPECT_EQ(SendRaw(Message({"/a.wav"})), QByteArray(1, instancemessage::kReceipt));
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(InstanceSocket, AMessageReadAfterItsTimeIsDropped) {
    ASSERT_TRUE(server.Listen(QStringLiteral("test")));
    // Its sender has given up and said that nothing was opened: opening it now would contradict that.
    EXPECT_TRUE(SendRaw(Message({"/a.wav"}, QDeadlineTimer::current().deadline() - 1)).isEmpty());
    EXPECT_TRUE(received.empty());
}

TEST_F(InstanceSocket, APeerThatSendsHalfAMessageIsDroppedInTime) {
    ASSERT_TRUE(server.Listen(QStringLiteral("test")));
    // The header promises more than ever comes: the server gives up on its own and answers nothing.
    EXPECT_TRUE(SendRaw(Message({"/a.wav"}).left(10)).isEmpty());
    EXPECT_TRUE(received.empty());
}

// A start that meets a copy just as it ends: that copy holds the guard still, but answers nothing more (its socket
// gone, or its event loop over with the message unread). Once the guard is let go, the start takes it and runs itself.
TEST_F(InstanceSocket, AStartMeetingACopyThatEndsBecomesTheRunningCopy) {
    for (const bool stillListening : {false, true}) {
        SCOPED_TRACE(stillListening ? "message unread" : "socket gone");
        // A name of its own each time: a guard once taken is this process's for good.
        static int round = 0;
        const QString name = QStringLiteral("ending-%1").arg(++round);
        QLockFile runningCopy(PrivateRuntimeFolder() + QLatin1Char('/') + name + QStringLiteral(".lock"));
        ASSERT_TRUE(runningCopy.tryLock(0));
        auto ending = std::make_unique<InstanceServer>();
        if (stillListening) {
            ASSERT_TRUE(ending->Listen(name));
        }
        std::atomic<int> result{-1};
        const QDeadlineTimer patience(5000);
        std::thread start([&] { result = static_cast<int>(HandOverOrTakeOver(name, {"/a.wav"}, 20000)); });
        // The copy's event loop is over: nothing is served while it finishes, then it goes and lets the guard go.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        EXPECT_EQ(result, -1) << "the start waits while the guard is held";
        ending.reset();
        runningCopy.unlock();
        start.join();
        EXPECT_EQ(static_cast<forms::HandOver>(result.load()), forms::HandOver::TookOver);
        EXPECT_FALSE(patience.hasExpired());
        EXPECT_FALSE(AnotherInstanceRunning(name)) << "this process holds the guard now";
    }
}

TEST(UserFolders, TheDataFolderFollowsTheEnvironment) {
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME"), home = qgetenv("HOME");
    qputenv("XDG_DATA_HOME", "/data/\xC4\xE3");
    EXPECT_EQ(UserDataFolder("media"), "/data/\xC4\xE3/media");
    qputenv("XDG_DATA_HOME", "relative/is/ignored");
    qputenv("HOME", "/home/someone");
    EXPECT_EQ(UserDataFolder("media"), "/home/someone/.local/share/media");
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(UserDataFolder("media"), "/home/someone/.local/share/media");
    qunsetenv("HOME");
    EXPECT_EQ(UserDataFolder("media"), "");
    qputenv("XDG_DATA_HOME", dataHome);
    qputenv("HOME", home);
    if (dataHome.isNull()) qunsetenv("XDG_DATA_HOME");
}

TEST(UserFolders, MissingFoldersAreMadeForThisUserAlone) {
    QTemporaryDir root;
    const std::string folder = root.path().toStdString() + "/a/b/media";
    EXPECT_FALSE(FolderWritable(folder));  // not there yet
    ASSERT_TRUE(MakeUserFolder(folder));
    EXPECT_TRUE(FolderWritable(folder));
    EXPECT_EQ(QFile::permissions(QString::fromStdString(folder)) & 0x0077, 0);  // no group or other rights
    EXPECT_TRUE(MakeUserFolder(folder));                                        // there already
    QFile file(root.path() + QStringLiteral("/plain"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(MakeUserFolder(file.fileName().toStdString()));  // a file is no folder
}

// A crowd of later starts at once (a file manager opening hundreds of files, each in a start of its own) is taken
// whole, well within each sender's time, by a copy that gives events a turn only every 40 ms, as one busy adding
// files does.
TEST_F(InstanceSocket, ABurstOfLaterStartsIsTakenWhole) {
    ASSERT_TRUE(server.Listen(QStringLiteral("test")));
    constexpr int kSenders = 200;
    std::atomic<int> taken{0}, finished{0};
    std::vector<std::thread> senders;
    for (int i = 0; i < kSenders; ++i)
        senders.emplace_back([&, i] {
            const std::vector<std::string> locations{"/" + std::to_string(i) + ".wav"};
            if (HandOverToRunningInstance(QStringLiteral("test"), locations, 5000) == forms::HandOver::Taken) ++taken;
            ++finished;
        });
    SpinUntil([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        return finished == kSenders;
    });
    for (std::thread& sender : senders) sender.join();
    EXPECT_EQ(taken, kSenders);
    EXPECT_EQ(received.size(), std::size_t(kSenders));
}

// A copy that cannot take the locations says so, and its sender can tell that from a copy that never answered.
TEST_F(InstanceSocket, ARefusalReachesTheSender) {
    ASSERT_TRUE(server.Listen(QStringLiteral("test")));
    taking = false;
    EXPECT_EQ(Offer({"/a.wav"}), forms::HandOver::Refused);
    EXPECT_EQ(SendRaw(Message({"/a.wav"})), QByteArray(1, instancemessage::kRefusal));
    taking = true;
    EXPECT_EQ(Offer({"/a.wav"}), forms::HandOver::Taken);
    // Once nobody listens, a sender stops trying as soon as it is told there is no copy to wait for.
    server.Close();
    std::atomic<int> asked{0};
    const QDeadlineTimer patience(3000);
    EXPECT_EQ(HandOverToRunningInstance(QStringLiteral("test"), {"/a.wav"}, 20000, [&] { return ++asked < 3; }),
              forms::HandOver::Unanswered);
    EXPECT_FALSE(patience.hasExpired());
}
