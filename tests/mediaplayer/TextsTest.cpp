#include "platform/mediaplayer/ClockText.h"
#include "platform/mediaplayer/MediaLocation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

namespace mediaplayer {
namespace {

TEST(FormatClock, MinutesAndSecondsThenHoursFromOneHour) {
    EXPECT_EQ(FormatClock(0), u"00:00");
    EXPECT_EQ(FormatClock(59.4), u"00:59");
    EXPECT_EQ(FormatClock(59.6), u"01:00");
    EXPECT_EQ(FormatClock(3599.4), u"59:59");
    EXPECT_EQ(FormatClock(3600), u"01:00:00");
    EXPECT_EQ(FormatClock(36 * 3600 + 61), u"36:01:01");
    EXPECT_EQ(FormatClock(-3), u"00:00");
    EXPECT_EQ(FormatClock(std::nan("")), u"00:00");
    EXPECT_EQ(FormatClock(std::numeric_limits<double>::infinity()), u"00:00");
    EXPECT_EQ(FormatClock(1e300), u"277777:46:40");  // capped, not overflowed
}

TEST(MediaLocation, WebAddressesAreOpenedAsTheyStand) {
    for (const char16_t* address : {u"http://radio.example/a b?x=1", u"mms://media.example/a.asf",
                                    u"rtsp://cam.example:554/s", u"file:///music/a.mp3"}) {
        EXPECT_TRUE(MediaLocation(address).IsWebAddress());
        EXPECT_EQ(MediaLocation(address).Uri(), std::filesystem::path(address).string());
    }
    EXPECT_FALSE(MediaLocation(u"C://music/a.mp3").IsWebAddress());
    EXPECT_FALSE(MediaLocation(u"/music/http://a.mp3").IsWebAddress());
}

TEST(MediaLocation, LocalPathBecomesAnAbsoluteEscapedFileUri) {
    EXPECT_EQ(MediaLocation(u"/music/歌 1#.mp3").Uri(), "file:///music/%E6%AD%8C%201%23.mp3");
    EXPECT_EQ(MediaLocation(u"song.mp3").Uri(), "file://" + (std::filesystem::current_path() / "song.mp3").string());
    EXPECT_EQ(MediaLocation(u"").Uri(), "");
    // A name that is not UTF-8 on disk keeps its bytes.
    EXPECT_EQ(MediaLocation(u"/music/\xDCC4\xDCE3.mp3").Uri(), "file:///music/%C4%E3.mp3");
}

TEST(MediaLocation, DisplayNameIsTheFileNameWithoutExtension) {
    EXPECT_EQ(MediaLocation(u"/music/周杰伦 - 晴天.mp3").DisplayName(), u"周杰伦 - 晴天");
    EXPECT_EQ(MediaLocation(u"/music/v1.2/track").DisplayName(), u"track");
    EXPECT_EQ(MediaLocation(u"/music/.hidden").DisplayName(), u".hidden");
    EXPECT_EQ(MediaLocation(u"http://host/path/My%20Song.mp3?id=3").DisplayName(), u"My Song");
    EXPECT_EQ(MediaLocation(u"http://radio.example").DisplayName(), u"http://radio.example");
}

}  // namespace
}  // namespace mediaplayer
