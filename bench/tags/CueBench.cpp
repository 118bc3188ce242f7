// The cue sheet reader and the code-page finder on a typical sheet: a GBK sheet of twelve Chinese titles (about
// 1.5 KB), the same in Big5 and UTF-8, and the finder on a file of megabytes, which weighs only its first part.
// TagLib reads no cue sheets, so there is no peer to compare with; the goal is that a folder of albums never
// waits on its sheets (well under a millisecond a sheet).
#include "media/readers/CueSheet.h"
#include "platform/text/AnsiText.h"
#include "platform/text/TextCodePage.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const char16_t* const kTitles[] = {u"以父之名",   u"懦夫",     u"晴天",     u"三年二班", u"东风破", u"你听得到",
                                   u"同一种调调", u"她的睫毛", u"爱情悬崖", u"梯田",     u"双刀",   u"止战之殇"};

std::u16string SheetText() {
    std::u16string sheet =
        u"REM GENRE Pop\r\nREM DATE 2003\r\nREM COMMENT \"ExactAudioCopy v0.99pb4\"\r\n"
        u"PERFORMER \"周杰伦\"\r\nTITLE \"叶惠美\"\r\nFILE \"CDImage.wav\" WAVE\r\n";
    int seconds = 0;
    for (int i = 0; i < 12; ++i, seconds += 243) {
        const std::u16string number =
            i < 9 ? u"0" + std::u16string(1, u'1' + i) : u"1" + std::u16string(1, u'0' + i - 9);
        const std::u16string minutes =
            std::u16string(1, u'0' + seconds / 600) + std::u16string(1, u'0' + seconds / 60 % 10);
        const std::u16string secs =
            std::u16string(1, u'0' + seconds % 60 / 10) + std::u16string(1, u'0' + seconds % 10);
        sheet += u"  TRACK " + number + u" AUDIO\r\n    TITLE \"" + kTitles[i] + u"\"\r\n    PERFORMER \"周杰伦\"\r\n";
        sheet += u"    INDEX 01 " + minutes + u":" + secs + u":00\r\n";
    }
    return sheet;
}

std::string Gbk() {
    std::string bytes;
    text::ToAnsi(SheetText(), bytes);
    return bytes;
}

void BM_FindCodePage(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) benchmark::DoNotOptimize(text::DecodeFoundCodePage(bytes));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void BM_ReadCueSheet(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) benchmark::DoNotOptimize(media::ReadCueSheet(bytes));
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
    static const std::string gbk = Gbk();
    static const std::string utf8 = text::ToUtf8(SheetText());
    static const std::string big = [] {
        std::string bytes;
        while (bytes.size() < 4 * 1024 * 1024) bytes += gbk;
        return bytes;
    }();
    benchmark::RegisterBenchmark("BM_FindCodePage/gbk-sheet", BM_FindCodePage, std::cref(gbk));
    benchmark::RegisterBenchmark("BM_FindCodePage/utf8-sheet", BM_FindCodePage, std::cref(utf8));
    benchmark::RegisterBenchmark("BM_FindCodePage/4MiB-gbk", BM_FindCodePage, std::cref(big))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ReadCueSheet/gbk-sheet", BM_ReadCueSheet, std::cref(gbk));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
