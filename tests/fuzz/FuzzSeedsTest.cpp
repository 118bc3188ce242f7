// Every fuzz seed through the entry its fuzz target runs: a sample that once mattered stays a regression test in the
// normal build. A seed passes when the entry returns; the entries trap on what they find wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

using Entry = int (*)(const std::uint8_t*, std::size_t);

// Each fuzz target's LLVMFuzzerTestOneInput, compiled under these names (tests/fuzz/CMakeLists.txt).
extern "C" {
int FuzzSeedEntry_asf(const std::uint8_t*, std::size_t);
int FuzzSeedEntry_flac(const std::uint8_t*, std::size_t);
int FuzzSeedEntry_m4a(const std::uint8_t*, std::size_t);
int FuzzSeedEntry_mp3(const std::uint8_t*, std::size_t);
int FuzzSeedEntry_ogg(const std::uint8_t*, std::size_t);
int FuzzSeedEntry_ape(const std::uint8_t*, std::size_t);
int FuzzSeedEntry_wv(const std::uint8_t*, std::size_t);
int FuzzSeedEntry_playlist(const std::uint8_t*, std::size_t);
int FuzzSeedEntry_lrc(const std::uint8_t*, std::size_t);
int FuzzSeedEntry_cue(const std::uint8_t*, std::size_t);
}

namespace {

struct Target {
    std::string name;  // the folder under fuzz/
    Entry entry;
};

const std::vector<Target>& Targets() {
    static const std::vector<Target> kTargets{
        {"asf", FuzzSeedEntry_asf}, {"flac", FuzzSeedEntry_flac},         {"m4a", FuzzSeedEntry_m4a},
        {"mp3", FuzzSeedEntry_mp3}, {"ogg", FuzzSeedEntry_ogg},           {"ape", FuzzSeedEntry_ape},
        {"wv", FuzzSeedEntry_wv},   {"playlist", FuzzSeedEntry_playlist}, {"lrc", FuzzSeedEntry_lrc},
        {"cue", FuzzSeedEntry_cue},
    };
    return kTargets;
}

fs::path SeedsOf(const std::string& target) { return fs::path(FUZZ_SOURCE_DIR) / target / "seeds"; }

struct Seed {
    std::string target;
    fs::path path;
    Entry entry;
};

// Test listings show a seed by its place under fuzz/.
void PrintTo(const Seed& seed, std::ostream* out) { *out << seed.target << "/seeds/" << seed.path.filename().string(); }

std::vector<Seed> AllSeeds() {
    std::vector<Seed> seeds;
    for (const Target& target : Targets()) {
        std::vector<fs::path> files;
        std::error_code error;
        for (const auto& item : fs::directory_iterator(SeedsOf(target.name), error))
            if (item.is_regular_file()) files.push_back(item.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) seeds.push_back({target.name, file, target.entry});
    }
    return seeds;
}

// A test name from the target and the seed's file name: letters and digits, the rest as underscores.
std::string NameOf(const ::testing::TestParamInfo<Seed>& info) {
    std::string name = info.param.target + "_" + info.param.path.filename().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

class FuzzSeed : public ::testing::TestWithParam<Seed> {};

}  // namespace

TEST_P(FuzzSeed, GoesThroughItsTargetsEntry) {
    std::ifstream in(GetParam().path, std::ios::binary);
    ASSERT_TRUE(in) << GetParam().path;
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(GetParam().entry(bytes.data(), bytes.size()), 0) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(Seeds, FuzzSeed, ::testing::ValuesIn(AllSeeds()), NameOf);

// A target without seeds, or a fuzz folder with seeds that no entry here runs, would go untested without a word.
TEST(FuzzSeeds, EveryTargetHasSeedsAndEverySeedFolderATarget) {
    for (const Target& target : Targets()) {
        const bool any = fs::is_directory(SeedsOf(target.name)) && !fs::is_empty(SeedsOf(target.name));
        EXPECT_TRUE(any) << "no seeds in " << SeedsOf(target.name);
    }
    for (const auto& folder : fs::directory_iterator(FUZZ_SOURCE_DIR)) {
        if (!fs::is_directory(folder.path() / "seeds")) continue;
        const std::string name = folder.path().filename().string();
        const bool known =
            std::any_of(Targets().begin(), Targets().end(), [&](const Target& target) { return target.name == name; });
        EXPECT_TRUE(known) << "fuzz/" << name << "/seeds has no entry in this test";
    }
}
