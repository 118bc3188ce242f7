#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/automation/ClassRegistry.h"

namespace fs = std::filesystem;
using automation::ClassRegistry;
using automation::Guid;

namespace {

class ClassRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("registry-test-" + std::to_string(::getpid()));
        fs::create_directories(root);
        setenv("XDG_DATA_HOME", root.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path root;
};

constexpr Guid kAlpha = Guid::Of("11111111-2222-3333-4444-555555555555");
constexpr Guid kBeta = Guid::Of("AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE");

}  // namespace

TEST_F(ClassRegistryTest, UserRegistryEntriesAreWrittenFoundAndRemoved) {
    EXPECT_EQ(ClassRegistry::UserRegistryFolder(), (root / "automation" / "classes").string());
    ASSERT_TRUE(ClassRegistry::WriteUserEntry(kAlpha, u"test.Alpha", "/opt/lib/libalpha.so"));
    auto& registry = ClassRegistry::Instance();
    EXPECT_EQ(registry.ClassIdFromProgId(u"TEST.alpha"), kAlpha);  // ProgIDs compare without regard to case
    EXPECT_EQ(registry.LibraryOf(kAlpha), "/opt/lib/libalpha.so");
    EXPECT_TRUE(ClassRegistry::RemoveUserEntry(kAlpha));
    EXPECT_FALSE(registry.LibraryOf(kAlpha));
    EXPECT_FALSE(registry.ClassIdFromProgId(u"test.Alpha"));
}

TEST_F(ClassRegistryTest, ManifestEntriesComeFirstAndResolveRelativeLibraries) {
    const fs::path manifest = root / "app.manifest";
    std::ofstream(manifest) << "# classes beside the program\n[" << kBeta.ToString()
                            << "]\nProgID = test.Beta\nLibrary = libbeta.so\n\n[not a guid]\nLibrary=x.so\n";
    ASSERT_TRUE(ClassRegistry::WriteUserEntry(kBeta, u"test.Beta", "/elsewhere/libbeta.so"));
    auto& registry = ClassRegistry::Instance();
    registry.AddManifest(manifest.string());
    EXPECT_EQ(registry.LibraryOf(kBeta), (root / "libbeta.so").string());
    EXPECT_EQ(registry.ClassIdFromProgId(u"test.Beta"), kBeta);
}

TEST_F(ClassRegistryTest, CreatingAnUnknownOrUnloadableClassFailsWithAReason) {
    auto& registry = ClassRegistry::Instance();
    void* out = reinterpret_cast<void*>(1);
    auto status =
        registry.CreateInstance(Guid::Of("99999999-9999-9999-9999-999999999999"), automation::Dispatch::IID, &out);
    EXPECT_EQ(status.number, 429);
    EXPECT_EQ(out, nullptr);
    ASSERT_TRUE(ClassRegistry::WriteUserEntry(kAlpha, u"test.Alpha", (root / "missing.so").string()));
    status = registry.CreateInstance(kAlpha, automation::Dispatch::IID, &out);
    EXPECT_EQ(status.number, 429);
    EXPECT_FALSE(status.description.empty());
}
