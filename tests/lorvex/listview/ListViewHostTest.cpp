// A host that knows only the library's file and the published identifiers: it registers the library, creates the
// control by class identity and by ProgID through the component runtime, and drives it by dispatch identifier.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QWidget>
#include <filesystem>
#include <fstream>

#include "lorvex/include/lorvex/ListViewInterface.h"
#include "platform/automation/ClassRegistry.h"
#include "platform/automation/ControlHosting.h"
#include "platform/automation/Events.h"
#include "platform/automation/InprocServer.h"

namespace fs = std::filesystem;
using namespace automation;

namespace {

class HostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        registryRoot = fs::temp_directory_path() / ("lorvex-host-" + std::to_string(::getpid()));
        fs::create_directories(registryRoot);
        setenv("XDG_DATA_HOME", registryRoot.c_str(), 1);
    }
    static void TearDownTestSuite() { fs::remove_all(registryRoot); }

    static HResult CallEntry(const char* name) {
        void* library = dlopen(LORVEX_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!library) return kResultFail;
        auto entry = reinterpret_cast<RegisterServerFunction>(dlsym(library, name));
        const HResult result = entry ? entry() : kResultFail;
        dlclose(library);
        return result;
    }

    static inline fs::path registryRoot;
};

class Site : public ControlSite {
public:
    QWidget* ContainerWidget() override { return &container; }
    bool UserMode() const override { return true; }
    void PropertyChanged(DispId) override {}
    QWidget container;
};

Status Invoke(Dispatch* d, DispId id, InvokeKind kind, std::vector<Variant> args, Variant* result = nullptr) {
    return d->Invoke(id, kind, args, result);
}

}  // namespace

TEST_F(HostTest, TheLibraryExportsOnlyItsFourEntryPoints) {
    void* library = dlopen(LORVEX_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const char* name : {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(dlsym(library, name), nullptr) << name;
    // The runtime linked into the library stays private to it.
    EXPECT_EQ(dlsym(library, "_ZN10automation6server13CanUnloadNowEv"), nullptr);
    dlclose(library);
}

TEST_F(HostTest, RegisteredControlIsCreatedByProgIdAndDrivenByDispatchIds) {
    ASSERT_EQ(CallEntry("DllRegisterServer"), kResultOk);
    auto& registry = ClassRegistry::Instance();
    const auto clsid = registry.ClassIdFromProgId(lorvex::ProgId_ListView);
    ASSERT_TRUE(clsid);
    EXPECT_EQ(*clsid, lorvex::CLSID_ListView);
    EXPECT_EQ(fs::canonical(*registry.LibraryOf(*clsid)), fs::canonical(LORVEX_LIBRARY));

    Status status;
    Ref<Dispatch> grid = registry.Create<Dispatch>(*clsid, &status);
    ASSERT_TRUE(grid) << std::string(status.description.begin(), status.description.end());
    auto control = QueryAs<Control>(grid);
    ASSERT_TRUE(control);
    Site site;
    control->SetSite(&site);
    control->ReadProperties(PropertyBag{});
    ASSERT_NE(control->Widget(), nullptr);
    EXPECT_EQ(control->Widget()->parentWidget(), &site.container);

    // Events reach the host's sink through the connection point.
    auto container = QueryAs<ConnectionPointContainer>(grid);
    ASSERT_TRUE(container);
    ConnectionPoint* events = container->FindConnectionPoint(lorvex::DIID_ListViewEvents);
    ASSERT_NE(events, nullptr);
    const std::uint32_t cookie = events->Advise(MakeEventSink([](DispId, std::span<Variant>) {}));
    EXPECT_NE(cookie, 0u);

    using namespace lorvex::dispid;
    ASSERT_TRUE(Invoke(grid.Get(), AddColumn, InvokeKind::Method, {Variant(u"title"), Variant(u"歌名")}).Ok());
    ASSERT_TRUE(Invoke(grid.Get(), AddColumn, InvokeKind::Method, {Variant(u"artist")}).Ok());
    Variant row;
    ASSERT_TRUE(Invoke(grid.Get(), AddItem, InvokeKind::Method, {}, &row).Ok());
    EXPECT_EQ(row.Int32Or(-1), 0);
    ASSERT_TRUE(Invoke(grid.Get(), ItemText, InvokeKind::PropertyPut,
                       {Variant(std::int32_t(0)), Variant(std::int32_t(1)), Variant(u"歌手")})
                    .Ok());
    Variant text, count;
    ASSERT_TRUE(Invoke(grid.Get(), ItemText, InvokeKind::PropertyGet,
                       {Variant(std::int32_t(0)), Variant(std::int32_t(1))}, &text)
                    .Ok());
    EXPECT_EQ(text.StringOr(), u"歌手");
    ASSERT_TRUE(Invoke(grid.Get(), ItemCount, InvokeKind::PropertyGet, {}, &count).Ok());
    EXPECT_EQ(count.Int32Or(), 1);
    Status refused = Invoke(grid.Get(), AddColumn, InvokeKind::Method, {Variant(u"late")});
    EXPECT_EQ(refused.number, 33);

    events->Unadvise(cookie);
    control->SetSite(nullptr);
}

TEST_F(HostTest, ManifestBesideTheProgramNeedsNoRegistration) {
    ASSERT_EQ(CallEntry("DllUnregisterServer"), kResultOk);
    const fs::path manifest = registryRoot / "host.manifest";
    std::ofstream(manifest) << "[" << lorvex::CLSID_ListView.ToString()
                            << "]\nProgID=lorvex.ListView\nLibrary=" << LORVEX_LIBRARY << "\n";
    auto& registry = ClassRegistry::Instance();
    registry.AddManifest(manifest.string());
    Ref<Dispatch> grid = registry.Create<Dispatch>(lorvex::CLSID_ListView);
    ASSERT_TRUE(grid);
    Variant height;
    EXPECT_TRUE(Invoke(grid.Get(), lorvex::dispid::PictureCount, InvokeKind::PropertyGet, {}, &height).Ok());
    // The callback class of the library answers CustomDraw with False.
    Ref<Dispatch> callback = registry.Create<Dispatch>(lorvex::CLSID_ICustomDraw);
    EXPECT_FALSE(callback);  // the manifest names only the grid
}
