#include "tests/mediaplayer/TestMedia.h"

#include "platform/mediaplayer/GStreamerRuntime.h"

#include <gst/gst.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace mediaplayer::test {
namespace {

class MediaKinds : public ::testing::Test {
protected:
    std::u16string WriteMp3(const std::string& name, const Bytes& tag, double seconds) {
        Bytes file = tag;
        const Bytes audio = Mp3Audio(seconds);
        file.insert(file.end(), audio.begin(), audio.end());
        return WriteFile(folder / name, file);
    }

    TempFolder folder;
    WatchedOutput output;
    MediaPlayer player{output.Factory()};
};

TEST_F(MediaKinds, Mp3ShowsItsTitleAndArtistTags) {
    player.setURL(WriteMp3("track01.mp3", Id3v23Tag(0, "Morning Tone", "The Testers"), 1.5));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_EQ(player.currentMedia().getItemInfo(u"title"), u"Morning Tone");
    EXPECT_EQ(player.currentMedia().name(), u"Morning Tone");
    EXPECT_EQ(player.currentMedia().getItemInfo(u"Author"), u"The Testers");
    EXPECT_NEAR(player.currentMedia().duration(), 1.5, 0.2);
}

TEST_F(MediaKinds, Mp3TagTextInTheCodePageOfItsHomeSystemsReadsAsChinese) {
    // "晴天" and "周杰伦" in GBK, in frames that declare the Latin-1 encoding.
    player.setURL(WriteMp3("gbk.mp3", Id3v23Tag(0, "\xC7\xE7\xCC\xEC", "\xD6\xDC\xBD\xDC\xC2\xD7"), 1.0));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_EQ(player.currentMedia().getItemInfo(u"title"), u"晴天");
    EXPECT_EQ(player.currentMedia().getItemInfo(u"Author"), u"周杰伦");
}

TEST_F(MediaKinds, AFileNamedInAnotherCodePagePlaysUnderItsReadableName) {
    // 你好.wav in GBK, as an archive made on Windows leaves it: not UTF-8.
    player.setURL(WriteFile(folder / "\xC4\xE3\xBA\xC3.wav", WavFile(1.0)));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_EQ(player.currentMedia().name(), u"你好");
}

// A RIFF RMID wrapper (.rmi) around a Standard MIDI File, as its `data` chunk.
Bytes RiffMidi(const Bytes& midi) {
    const auto littleEndian = [](Bytes& out, std::size_t value) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    Bytes out = {'R', 'I', 'F', 'F'};
    littleEndian(out, 12 + midi.size() + midi.size() % 2);
    out.insert(out.end(), {'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'});
    littleEndian(out, midi.size());
    out.insert(out.end(), midi.begin(), midi.end());
    if (midi.size() % 2) out.push_back(0);
    return out;
}

// filesrc ! mediamidisynth name=synth ! fakesink, on the file written with `bytes`.
GstPointer SynthesiserPipeline(const std::filesystem::path& path, const Bytes& bytes) {
    WriteFile(path, bytes);
    const std::string description = "filesrc location=\"" + path.string() + "\" ! mediamidisynth name=synth ! fakesink";
    return GstPointer(EnsureGStreamer() ? gst_parse_launch(description.c_str(), nullptr) : nullptr);
}

// A Standard MIDI File at 96 ticks a quarter (or SMPTE `division`) of the chunks given, "MTrk" for tracks.
Bytes StandardMidi(int format, const std::vector<std::pair<std::string, Bytes>>& chunks, std::uint16_t division = 96) {
    Bytes out;
    const auto chunk = [&out](const std::string& name, const Bytes& body) {
        out.insert(out.end(), name.begin(), name.end());
        for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(body.size() >> shift));
        out.insert(out.end(), body.begin(), body.end());
    };
    const auto tracks = std::count_if(chunks.begin(), chunks.end(), [](auto& c) { return c.first == "MTrk"; });
    chunk("MThd", {0, static_cast<std::uint8_t>(format), 0, static_cast<std::uint8_t>(tracks),
                   static_cast<std::uint8_t>(division >> 8), static_cast<std::uint8_t>(division)});
    for (const auto& [name, body] : chunks) chunk(name, body);
    return out;
}

// MIDI plays through the player's own synthesiser: whole, from a seek, inside a RIFF wrapper and at the file's
// tempo. MidiFile's track starts at byte 22 with its tempo at 26; its last event is the end of the track.
TEST_F(MediaKinds, MidiPlaysThroughTheSynthesiser) {
    const Bytes midi = MidiFile();
    const auto patched = [&](std::size_t at, const Bytes& bytes) {
        Bytes out = midi;
        std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
        return out;
    };
    const struct {
        const char* name;
        Bytes bytes;
        std::u16string duration;
        double seekTo;
        std::u16string span = u"";  // a Media Fragments suffix: the span of the file to play
    } playable[] = {
        {"tune.mid", midi, u"00:02", 0},
        {"sought.mid", midi, u"00:02", 1.0},
        {"wrapped.rmi", RiffMidi(midi), u"00:02", 0},
        {"slow.mid", patched(26, {0x0F, 0x42, 0x40}), u"00:03", 0},  // a quarter a second: 3 s
        {"span.mid", midi, u"00:01", 0, u"#t=0.5,1.2"},              // placed by a seek before it sounds
    };
    for (const auto& [name, bytes, duration, seekTo, span] : playable) {
        player.setURL(WriteFile(folder / name, bytes) + span);
        ASSERT_TRUE(WaitForState(player, Playing, 20)) << name;  // the sound font takes a moment to load
        EXPECT_TRUE(output.Runs("mediamidisynth")) << name;
        EXPECT_EQ(player.currentMedia().name(), std::filesystem::path(name).stem().u16string());
        EXPECT_EQ(player.currentMedia().durationString(), duration) << name;
        if (seekTo > 0) {
            // From the seek on, the position goes on from its target and never back to where it was.
            player.controls().setCurrentPosition(seekTo);
            double lowest = seekTo;
            EXPECT_TRUE(WaitUntil([&] {
                if (player.playState() == Stopped) return true;  // which reads 0
                lowest = std::min(lowest, player.controls().currentPosition());
                return false;
            })) << name;
            EXPECT_GT(lowest, seekTo - 0.05) << name;
        } else {
            EXPECT_TRUE(WaitUntil([&] { return player.controls().currentPosition() > 0.3; })) << name;
            EXPECT_TRUE(WaitForState(player, Stopped)) << name;
        }
    }
}

// A damaged or hostile MIDI file fails at once like any unplayable track: never a hang, nor minutes of silence.
TEST_F(MediaKinds, DamagedMidiFailsPromptly) {
    const Bytes midi = MidiFile();
    const auto patched = [&](std::size_t at, const Bytes& bytes, std::size_t replaced) {
        Bytes out = midi;
        out.erase(out.begin() + static_cast<std::ptrdiff_t>(at),
                  out.begin() + static_cast<std::ptrdiff_t>(at + replaced));
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin(), bytes.end());
        out[21] = static_cast<std::uint8_t>(out[21] + bytes.size() - replaced);  // the track's length
        return out;
    };
    const std::pair<const char*, Bytes> broken[] = {
        {"cut.mid", Bytes(midi.begin(), midi.begin() + 30)},
        {"no-status.mid", patched(23, {0x51}, 1)},  // a data byte where the first event's status belongs
        {"overlong.mid", patched(18, {0x7F, 0xFF, 0xFF, 0xF0}, 4)},              // a track longer than the file
        {"endless.mid", patched(midi.size() - 4, {0xFF, 0xFF, 0xFF, 0x7F}, 1)},  // a rest of years before the end
        {"smpte.mid", patched(12, {0xE7, 0x28}, 2)},  // SMPTE time, which fluidsynth does not play
        {"empty.rmi", RiffMidi({})},
    };
    for (const auto& [name, bytes] : broken) {
        player.setURL(WriteFile(folder / name, bytes));
        EXPECT_TRUE(WaitForState(player, Ready, 3)) << name;  // by its own error, not the 4 s silence watchdog
    }
}

// A seek that reaches the synthesiser while it loads its sound font, before its first buffer, is where it starts,
// and the seek's stop is where it ends.
TEST_F(MediaKinds, MidiSynthesiserPlaysTheSpanOfASeekBeforeItsFirstBuffer) {
    const GstPointer pipeline = SynthesiserPipeline(folder / "tune.mid", MidiFile());
    ASSERT_TRUE(pipeline);
    GstElement* synth = gst_bin_get_by_name(GST_BIN(pipeline.get()), "synth");
    GstPad* pad = gst_element_get_static_pad(synth, "src");
    std::vector<GstClockTime> times;  // of the buffers since the last flush; the streaming thread's until the end
    gst_pad_add_probe(
        pad, static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_FLUSH),
        [](GstPad*, GstPadProbeInfo* info, gpointer data) {
            auto& seen = *static_cast<std::vector<GstClockTime>*>(data);
            if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER)
                seen.push_back(GST_BUFFER_PTS(GST_PAD_PROBE_INFO_BUFFER(info)));
            else
                seen.clear();
            return GST_PAD_PROBE_OK;
        },
        &times, nullptr);
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    EXPECT_TRUE(gst_element_send_event(synth, gst_event_new_seek(1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                                                                 GST_SECOND, GST_SEEK_TYPE_SET, GST_SECOND * 5 / 4)));
    GstBus* bus = gst_element_get_bus(pipeline.get());
    GstMessage* end = gst_bus_timed_pop_filtered(bus, 10 * GST_SECOND,
                                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    ASSERT_TRUE(end);
    EXPECT_EQ(GST_MESSAGE_TYPE(end), GST_MESSAGE_EOS);
    ASSERT_FALSE(times.empty());
    EXPECT_EQ(times.front(), GST_SECOND);
    EXPECT_LT(times.back(), GST_SECOND * 5 / 4);
    EXPECT_GT(times.back(), GST_SECOND * 6 / 5);
    gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    gst_object_unref(pad);
    gst_object_unref(synth);
}

// The synthesiser's duration comes from its own reading of the file's tempo map: tempo changes in any track, running
// status, system exclusive messages, tracks without their end event, chunks of unknown kinds, SMPTE time.
TEST_F(MediaKinds, MidiSynthesiserTellsTheDurationOfTheFilesTempoMap) {
    const Bytes quarterNote = {0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x40};
    const Bytes slow = {0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40};  // a quarter a second
    const Bytes fast = {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};  // half that
    const Bytes end = {0x00, 0xFF, 0x2F, 0x00};
    const auto join = [](std::initializer_list<Bytes> parts) {
        Bytes out;
        for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
        return out;
    };
    const struct {
        const char* name;
        Bytes file;
        double seconds;
    } cases[] = {
        // Quarters at 120, then from tick 96 at 60 a minute; the notes (running status, a system exclusive
        // message between them) last to tick 288.
        {"conductor.mid",
         StandardMidi(1, {{"MTrk", join({{0x00}, fast, {0x60}, slow, end})},
                          {"MTrk", {0x00, 0x90, 0x3C, 0x64, 0x81, 0x40, 0x3C, 0x00, 0x00, 0xF0, 0x03,
                                    0x7E, 0x7F, 0xF7, 0x60, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}}}),
         2.5},
        {"later-track-tempo.mid",
         StandardMidi(1, {{"MTrk", join({quarterNote, quarterNote, end})}, {"MTrk", join({{0x60}, slow, end})}}), 1.5},
        {"same-tick-tempos.mid", StandardMidi(0, {{"MTrk", join({{0x00}, slow, {0x00}, fast, quarterNote, end})}}),
         0.5},
        {"unended.mid",
         StandardMidi(0, {{"XFIH", {1, 2, 3}}, {"MTrk", {0x00, 0x90, 0x3C, 0x64, 0x83, 0x00, 0x3C, 0x00}}}), 2.0},
        // 25 frames of 40 ticks a second; fluidsynth then refuses the file, but its length is known first.
        {"smpte.mid", StandardMidi(0, {{"MTrk", {0x00, 0x90, 0x3C, 0x64, 0x83, 0x74, 0x3C, 0x00}}}, 0xE728), 0.5},
    };
    for (const auto& [name, file, seconds] : cases) {
        const GstPointer pipeline = SynthesiserPipeline(folder / name, file);
        ASSERT_TRUE(pipeline);
        gst_element_set_state(pipeline.get(), GST_STATE_PAUSED);
        GstBus* bus = gst_element_get_bus(pipeline.get());
        GstMessage* settled = gst_bus_timed_pop_filtered(
            bus, 10 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR));
        EXPECT_TRUE(settled) << name;
        GstElement* synth = gst_bin_get_by_name(GST_BIN(pipeline.get()), "synth");
        gint64 duration = -1;
        EXPECT_TRUE(gst_element_query_duration(synth, GST_FORMAT_TIME, &duration)) << name;
        EXPECT_NEAR(static_cast<double>(duration) / GST_SECOND, seconds, 0.001) << name;
        gst_object_unref(synth);
        if (settled) gst_message_unref(settled);
        gst_object_unref(bus);
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    }
}

TEST_F(MediaKinds, VideoFilePlaysItsSoundWithoutDecodingThePicture) {
    player.setURL(WriteVideo(folder / "clip.avi", 1.5, true));
    ASSERT_TRUE(WaitForState(player, Playing));
    EXPECT_FALSE(output.Runs("jpegdec"));
    EXPECT_NEAR(player.currentMedia().duration(), 1.5, 0.2);
    EXPECT_TRUE(WaitForState(player, Stopped));

    // Without a soundtrack there is nothing to play.
    player.setURL(WriteVideo(folder / "mute.avi", 1.0, false));
    EXPECT_TRUE(WaitForState(player, Ready));
}

}  // namespace
}  // namespace mediaplayer::test
