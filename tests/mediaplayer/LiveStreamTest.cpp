#include "tests/mediaplayer/TestMedia.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace mediaplayer::test {
namespace {

// An HTTP server on the loopback address that serves one piece of sound (MP3 unless another media type is named) to
// every request: as a file of known length, or as a radio station does, without a length and without end, in real
// time.
class Station {
public:
    Station(Bytes sound, bool endless, std::string type = "audio/mpeg")
        : sound_(std::move(sound)), endless_(endless), type_(std::move(type)) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        listen(listener_, 4);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        server_ = std::thread([this] { Serve(); });
    }
    ~Station() {
        ending_ = true;
        shutdown(listener_, SHUT_RDWR);
        close(listener_);
        server_.join();
    }
    std::u16string Url() const {
        const std::string url = "http://127.0.0.1:" + std::to_string(port_) + "/station";
        return std::u16string(url.begin(), url.end());
    }

private:
    void Serve() {
        while (!ending_) {
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0) return;
            char request[4096];
            (void)!recv(client, request, sizeof request, 0);
            std::string head = "HTTP/1.0 200 OK\r\nContent-Type: " + type_ + "\r\n";
            if (!endless_) head += "Content-Length: " + std::to_string(sound_.size()) + "\r\n";
            head += "\r\n";
            bool open = send(client, head.data(), head.size(), MSG_NOSIGNAL) > 0;
            // The file once, or again and again, a second of sound a second after a first burst.
            for (int round = 0; open && !ending_ && (endless_ || round == 0); ++round) {
                open = send(client, sound_.data(), sound_.size(), MSG_NOSIGNAL) > 0;
                if (endless_ && round > 2) std::this_thread::sleep_for(std::chrono::milliseconds(900));
            }
            close(client);
        }
    }

    Bytes sound_;
    bool endless_;
    std::string type_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> ending_ = false;
    std::thread server_;
};

// A stream with no end has no duration: once its sound flows it plays, and goes on playing. Stations send MP3 or
// ADTS AAC; AAC goes through the player's own decoder.
TEST(LiveStream, PlaysWithNoDurationOnceItsSoundFlows) {
    struct Case {
        Bytes sound;
        const char* type;
        const char* decoder;  // ours, when it is ours that must decode it
    };
    const Case cases[] = {
        {Mp3Audio(1.0), "audio/mpeg", nullptr},
        {EncodedRamp(1.0, "avenc_aac ! aacparse ! audio/mpeg,stream-format=adts"), "audio/aac", "mediaaudiodecoder"},
    };
    for (const Case& c : cases) {
        Station station(c.sound, true, c.type);
        WatchedOutput output;
        MediaPlayer player(output.Factory());
        player.setURL(station.Url());
        ASSERT_TRUE(WaitForState(player, Playing, 10)) << c.type << " state " << player.playState();
        if (c.decoder) {
            EXPECT_TRUE(output.Runs(c.decoder)) << c.type;
        }
        EXPECT_EQ(player.currentMedia().durationString(), u"00:00") << c.type;
        const double started = player.controls().currentPosition();
        EXPECT_TRUE(WaitUntil([&] { return player.controls().currentPosition() > started + 2; }, 6)) << c.type;
        EXPECT_EQ(player.playState(), Playing) << c.type;
    }
}

TEST(LiveStream, AFiniteStreamHasItsLengthAndEnds) {
    Station station(Mp3Audio(2.0), false);
    MediaPlayer player;
    player.setURL(station.Url());
    ASSERT_TRUE(WaitForState(player, Playing, 10)) << "state " << player.playState();
    EXPECT_NEAR(player.currentMedia().duration(), 2.0, 0.2);
    EXPECT_TRUE(WaitForState(player, Stopped, 10));
}

}  // namespace
}  // namespace mediaplayer::test
