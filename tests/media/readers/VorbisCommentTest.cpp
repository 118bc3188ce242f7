// The parts the FLAC, Ogg and MP4 readers share: the Vorbis comment, the gathering of tag values,
// the rate texts and the sliced byte source.
#include "media/readers/SlicedSource.h"
#include "media/readers/StreamRates.h"
#include "media/readers/TagFields.h"
#include "media/readers/VorbisComment.h"
#include "tests/media/readers/ContainerFileBuilder.h"
#include "tests/media/readers/TagExpectations.h"

#include <gtest/gtest.h>

using namespace tagfile;
using media::MediaInfo;
using media::TagField;
using media::TagFields;

namespace {

MediaInfo CommentInfo(const std::string& comment, MediaInfo info = {}) {
    media::MemorySource source(comment);
    TagFields fields;
    media::ReadVorbisComment(source, fields);
    fields.ApplyTo(info);
    return info;
}

TEST(VorbisComment, NamesIgnoreCaseAndValuesAreUtf8) {
    const MediaInfo info = CommentInfo(VorbisComment({
        "title=" + text::ToUtf8(u"月亮代表我的心"),
        "ARTIST=" + text::ToUtf8(u"邓丽君"),
        "Album=Album",
        "date=1977-05-01",
        "LYRICS=[00:01.00]one  two",
        "lyricist=Words",
        "COMPOSER=Music",
        "GENRE=Pop",
        "ENCODER=whatever",
        "noequalsign",
        "=empty name",
    }));
    // Lyrics lose doubled spaces, as in the other formats.
    ExpectTexts(info, {u"月亮代表我的心", u"邓丽君", u"Album", u"1977", u"[00:01.00]one two", u"Words", u"Music"});
}

TEST(VorbisComment, SeveralValuesJoinWhileYearAndLyricsTakeTheFirst) {
    const MediaInfo info = CommentInfo(VorbisComment({
        "ARTIST=A",
        "ARTIST=  ",
        "ARTIST=B",
        "YEAR=1999",
        "DATE=2001",
        "UNSYNCEDLYRICS=first",
        "LYRICS=second",
        "WRITER=W1",
        "LYRICIST=W2",
        "COMPOSER=C1",
        "COMPOSER=C2",
    }));
    ExpectTexts(info, {u"", u"A/B", u"", u"1999", u"first", u"W1/W2", u"C1/C2"});
}

TEST(VorbisComment, FieldsNotInTheTagKeepTheRecordsTexts) {
    MediaInfo before;
    before.Title = u"kept";
    before.Artist = u"replaced";
    const MediaInfo info = CommentInfo(VorbisComment({"ARTIST=new", "TITLE="}), before);
    EXPECT_EQ(info.Title, u"kept");
    EXPECT_EQ(info.Artist, u"new");
}

TEST(VorbisComment, DamageKeepsTheWholeFieldsBeforeIt) {
    // A field whose length runs past the end: it and all after it are lost.
    std::string comment = VorbisComment({"TITLE=T", "ARTIST=A", "ALBUM=B"});
    const std::size_t artistLength = comment.find("ARTIST") - 4;
    comment.replace(artistLength, 4, LittleEndian(0x7FFFFFFF, 4));
    MediaInfo info = CommentInfo(comment);
    EXPECT_EQ(info.Title, u"T");
    EXPECT_EQ(info.Artist, u"");
    EXPECT_EQ(info.Album, u"");

    // A count far beyond the fields there: the fields there are read, then the reading ends.
    comment = VorbisComment({"TITLE=T"});
    comment.replace(4 + 12, 4, LittleEndian(0xFFFFFFFF, 4));
    EXPECT_EQ(CommentInfo(comment).Title, u"T");

    // A vendor length past the end, a comment cut inside its count, an empty comment: nothing.
    comment = VorbisComment({"TITLE=T"});
    comment.replace(0, 4, LittleEndian(0xFFFFFFF0, 4));
    EXPECT_EQ(CommentInfo(comment), MediaInfo{});
    EXPECT_EQ(CommentInfo(VorbisComment({"TITLE=T"}).substr(0, 18)), MediaInfo{});
    EXPECT_EQ(CommentInfo(""), MediaInfo{});

    // Invalid UTF-8 becomes replacement characters rather than failing the field.
    EXPECT_EQ(CommentInfo(VorbisComment({"TITLE=a\xFF"
                                         "b"}))
                  .Title,
              u"a\uFFFDb");
}

// A source in memory that counts the bytes read of it.
class CountingSource final : public media::ByteSource {
public:
    explicit CountingSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::string_view Read(std::uint64_t offset, std::size_t length) override {
        bytesRead += std::min<std::uint64_t>(length, offset < bytes_.size() ? bytes_.size() - offset : 0);
        return offset < bytes_.size() ? std::string_view(bytes_).substr(offset, length) : std::string_view();
    }
    std::uint64_t bytesRead = 0;

private:
    std::string bytes_;
};

TEST(VorbisComment, LargeValuesOfOtherNamesAreNeverRead) {
    // A picture of 3 MiB before the title.
    CountingSource source(VorbisComment({"METADATA_BLOCK_PICTURE=" + std::string(3 << 20, 'Q'), "TITLE=after",
                                         "LYRICS=" + std::string((1 << 20) + 1, 'L')}));
    TagFields fields;
    media::ReadVorbisComment(source, fields);
    MediaInfo info;
    fields.ApplyTo(info);
    EXPECT_EQ(info.Title, u"after");
    EXPECT_EQ(info.Lyrics, u"") << "a lyric above 1 MiB is passed over";
    EXPECT_LT(source.bytesRead, 4096u);
}

TEST(VorbisComment, OneTagReadsAtMostEightMebibytesOfValues) {
    std::vector<std::string> composers(12, "COMPOSER=" + std::string((1 << 20) - 16, 'c'));
    composers.push_back("TITLE=late");
    CountingSource source(VorbisComment(composers));
    TagFields fields;
    media::ReadVorbisComment(source, fields);
    MediaInfo info;
    fields.ApplyTo(info);
    EXPECT_LT(source.bytesRead, 9u << 20);
    EXPECT_EQ(info.Title, u"late") << "a short value still fits the allowance";
}

TEST(TagFields, YearsAreCutToTheirYearOnlyWhenTheyStartWithOne) {
    const auto year = [](std::u16string_view value) {
        TagFields fields;
        fields.Add(TagField::Year, value);
        MediaInfo info;
        fields.ApplyTo(info);
        return info.Year;
    };
    EXPECT_EQ(year(u"2008-05-01T07:00:00Z"), u"2008");
    EXPECT_EQ(year(u" 1999 "), u"1999");
    EXPECT_EQ(year(u"20081"), u"20081");
    EXPECT_EQ(year(u"spring 2004"), u"spring 2004");
}

TEST(TagFields, AJoinedValueStopsGrowingAtItsBound) {
    TagFields fields;
    const std::u16string value(1000, u'x');
    for (int i = 0; i < 1000; ++i) fields.Add(TagField::Artist, value);
    MediaInfo info;
    fields.ApplyTo(info);
    EXPECT_LE(info.Artist.size(), 64u * 1024);
    EXPECT_GE(info.Artist.size(), 60u * 1024);
}

TEST(StreamRates, TextsMatchTheMp3Readers) {
    MediaInfo info;
    media::SetStreamRates(info, 128000, 44100);
    EXPECT_EQ(info.BitRate, u"128Kbps");
    EXPECT_EQ(info.SampleRate, u"44.1KHz");
    media::SetStreamRates(info, 95600, 22050);
    EXPECT_EQ(info.BitRate, u"96Kbps");
    EXPECT_EQ(info.SampleRate, u"22.05KHz");
    media::SetStreamRates(info, 0, 0);  // unknown rates leave the texts
    EXPECT_EQ(info.BitRate, u"96Kbps");
    EXPECT_EQ(info.SampleRate, u"22.05KHz");

    MediaInfo none;
    media::SetStreamRates(none, 1ull << 60, 0xFFFFFFFFull);  // no stream has these
    EXPECT_EQ(none, MediaInfo{});

    EXPECT_EQ(media::AverageBitRate(160000, 441000, 44100), 128000u);
    EXPECT_EQ(media::AverageBitRate(160000, 0, 44100), 0u);
    EXPECT_EQ(media::AverageBitRate(~0ull, 1, 1), 0u);
}

TEST(SlicedSource, ReadsRunAcrossSlicesAndStopAtTheBasesEnd) {
    media::MemorySource base("0123456789abcdef");
    media::SlicedSource sliced(base);
    sliced.Append(2, 3);   // 234
    sliced.Append(10, 2);  // ab
    sliced.Append(14, 9);  // ef: cut at the base's end
    sliced.Append(40, 5);  // nothing: past the end
    EXPECT_EQ(sliced.Size(), 7u);
    EXPECT_EQ(sliced.Read(0, 100), "234abef");
    EXPECT_EQ(sliced.Read(1, 3), "34a");
    EXPECT_EQ(sliced.Read(3, 2), "ab");
    EXPECT_EQ(sliced.Read(7, 1), "");

    media::SlicedSource window(sliced, 2, 100);  // a window on a window
    EXPECT_EQ(window.Read(0, 100), "4abef");
}

}  // namespace
