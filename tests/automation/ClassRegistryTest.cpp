#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

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

namespace {

// Why creating the class of the user's entry kAlpha failed.
std::string CreationFailure() {
    void* out = nullptr;
    const auto status = ClassRegistry::Instance().CreateInstance(kAlpha, automation::Dispatch::IID, &out);
    EXPECT_EQ(out, nullptr);
    return std::string(status.description.begin(), status.description.end());
}

}  // namespace

// What another user could have written is never loaded: the library, its folder, the entry and the entries' folder.
TEST_F(ClassRegistryTest, EntriesAndLibrariesOthersCouldChangeAreRefused) {
    const fs::path classes = ClassRegistry::UserRegistryFolder();
    const fs::path entry = classes / (kAlpha.ToString() + ".class");
    const fs::path shared = root / "shared";
    fs::create_directories(shared);
    const fs::path planted = shared / "libplanted.so";
    std::ofstream(planted) << std::string(4096, 'x');
    fs::permissions(planted, fs::perms(0755));
    struct Case {
        const char* name;
        std::function<void()> plant;
        const char* reason;
    } cases[] = {
        {"a world-writable folder", [&] { fs::permissions(shared, fs::perms(0777)); }, "writable by other users"},
        {"a group-writable library", [&] { fs::permissions(planted, fs::perms(0775)); }, "writable by other users"},
        {"another user's library", [&] { ASSERT_EQ(chown(planted.c_str(), 4242, 4242), 0); }, "another user"},
        {"a link in a world-writable folder",
         [&] {
             const fs::path open = root / "open";
             fs::create_directories(open);
             fs::permissions(open, fs::perms(0777));
             fs::create_symlink(planted, open / "liblink.so");
             ASSERT_TRUE(ClassRegistry::WriteUserEntry(kAlpha, u"test.Alpha", (open / "liblink.so").string()));
         },
         "writable by other users"},
        {"a world-writable classes folder", [&] { fs::permissions(classes, fs::perms(0777)); }, "writable by other"},
        {"a group-writable entry", [&] { fs::permissions(entry, fs::perms(0664)); }, "writable by other users"},
        {"another user's entry", [&] { ASSERT_EQ(chown(entry.c_str(), 4242, 4242), 0); }, "another user"},
    };
    if (geteuid() != 0) GTEST_SKIP() << "only root can give files to another user";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::permissions(shared, fs::perms(0755));
        fs::permissions(planted, fs::perms(0755));
        ASSERT_EQ(chown(planted.c_str(), 0, 0), 0);
        fs::remove_all(classes);
        fs::remove_all(root / "open");
        ASSERT_TRUE(ClassRegistry::WriteUserEntry(kAlpha, u"test.Alpha", planted.string()));
        // Trusted, the library is loaded (and fails as the junk it is).
        EXPECT_NE(CreationFailure().find("invalid ELF header"), std::string::npos) << CreationFailure();
        c.plant();
        EXPECT_NE(CreationFailure().find(c.reason), std::string::npos) << CreationFailure();
    }
}

// A registry file that never ends, or is far too large, is refused without being read.
TEST_F(ClassRegistryTest, EndlessOrHugeEntryFilesAreRefusedUnread) {
    const fs::path classes = ClassRegistry::UserRegistryFolder();
    const fs::path entry = classes / (kAlpha.ToString() + ".class");
    const std::string head = "[" + kAlpha.ToString() + "]\nProgID=test.Alpha\nLibrary=/opt/libalpha.so\n";
    struct Case {
        const char* name;
        std::function<void()> plant;
    } cases[] = {
        {"a link to /dev/zero", [&] { fs::create_symlink("/dev/zero", entry); }},
        {"a FIFO nobody writes", [&] { ASSERT_EQ(mkfifo(entry.c_str(), 0600), 0); }},
        {"a sparse file of 4 GiB",
         [&] {
             std::ofstream(entry) << head;
             fs::resize_file(entry, 4ull << 30);
         }},
        {"a line of 8 KiB", [&] { std::ofstream(entry) << head << "ProgID=" << std::string(8 * 1024, 'x'); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(classes);
        ASSERT_TRUE(ClassRegistry::WriteUserEntry(kBeta, u"test.Beta", "/opt/libbeta.so"));
        c.plant();
        EXPECT_FALSE(ClassRegistry::Instance().LibraryOf(kAlpha));
        EXPECT_FALSE(ClassRegistry::Instance().ClassIdFromProgId(u"test.Alpha"));
        EXPECT_EQ(ClassRegistry::Instance().ClassIdFromProgId(u"test.Beta"), kBeta);  // the other entries stay
    }
}

// Without HOME and XDG_DATA_HOME the registry is the user's own from the password database, never a shared folder;
// a user without a home has no per-user registry at all.
TEST_F(ClassRegistryTest, WithoutHomeTheRegistryIsNeverASharedFolder) {
    const std::string home = getenv("HOME") ? getenv("HOME") : "";
    unsetenv("HOME");
    unsetenv("XDG_DATA_HOME");
    const fs::path shared = "/tmp/automation/classes";
    const bool plantedShared = !fs::exists("/tmp/automation");
    if (plantedShared) {
        fs::create_directories(shared);
        std::ofstream(shared / (kAlpha.ToString() + ".class"))
            << "[" << kAlpha.ToString() << "]\nProgID=test.Alpha\nLibrary=/tmp/automation/libplanted.so\n";
    }
    const passwd* user = getpwuid(geteuid());
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(ClassRegistry::UserRegistryFolder(), fs::path(user->pw_dir) / ".local/share/automation/classes");
    EXPECT_FALSE(ClassRegistry::Instance().LibraryOf(kAlpha));
    if (plantedShared) fs::remove_all("/tmp/automation");
    if (geteuid() == 0) {
        EXPECT_EXIT(
            {
                if (setuid(4243) != 0) std::exit(2);  // a user the password database does not know
                std::exit(ClassRegistry::UserRegistryFolder().empty() &&
                                  !ClassRegistry::WriteUserEntry(kAlpha, u"test.Alpha", "/opt/libalpha.so")
                              ? 0
                              : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }
    setenv("HOME", home.c_str(), 1);
}
