// Locations named from outside the window: command-line arguments and URIs become the locations the list keeps
// (names as their bytes), the list's place follows the program folder's writability, and the open command appends
// rows in order and plays the first, waiting while the list loads. On the real windows, offscreen.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "media/core/OpenLocations.h"
#include "media/core/PlaylistPlace.h"
#include "media/core/RemoteControl.h"
#include "media/playlist/AddMedia.h"
#include "media/playlist/MenuWindow.h"
#include "media/playlist/PlaylistRows.h"
#include "media/playlist/PlaylistWindow.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/mediaplayer/MediaPlayer.h"
#include "platform/text/FileName.h"
#include "tests/media/playlist/ProgramWindows.h"
#include "tests/mediaplayer/TestMedia.h"

using namespace media;
namespace test = mediaplayer::test;

namespace {

const auto* windows = ::testing::AddGlobalTestEnvironment(new ProgramWindows);

const std::u16string kNihao = text::FromFileName("\xC4\xE3\xBA\xC3");  // 你好 in GBK: not UTF-8

}  // namespace

TEST(ArgumentLocations, PathsAreTakenFromTheCallersFolder) {
    EXPECT_EQ(LocationFromArgument("song.mp3", "/home/u"), u"/home/u/song.mp3");
    EXPECT_EQ(LocationFromArgument("./sub//song.mp3", "/home/u/"), u"/home/u/sub/song.mp3");
    EXPECT_EQ(LocationFromArgument("../up.mp3", "/home/u"), u"/home/u/../up.mp3");  // links make ".." the kernel's
    EXPECT_EQ(LocationFromArgument("/abs/./song.mp3", "/home/u"), u"/abs/song.mp3");
    EXPECT_EQ(LocationFromArgument("\xC4\xE3\xBA\xC3.wav", "/m"), u"/m/" + kNihao + u".wav");
    EXPECT_EQ(text::ToFileName(LocationFromArgument("\xC4\xE3\xBA\xC3.wav", "/m")), "/m/\xC4\xE3\xBA\xC3.wav");
    EXPECT_EQ(LocationFromArgument("song.mp3", ""), u"");  // no folder to take it from
    EXPECT_EQ(LocationFromArgument("", "/home/u"), u"");
}

TEST(ArgumentLocations, FileUrisArePercentDecodedBytes) {
    EXPECT_EQ(LocationFromArgument("file:///m/%C4%E3%BA%C3.wav", "/elsewhere"), u"/m/" + kNihao + u".wav");
    EXPECT_EQ(LocationFromArgument("file:///m/a%20b%e4%bd%a0.mp3", "/x"), u"/m/a b你.mp3");
    EXPECT_EQ(LocationFromArgument("FILE://localhost/m/a.mp3", "/x"), u"/m/a.mp3");
    EXPECT_EQ(LocationFromArgument("file:/m/a.mp3", "/x"), u"/m/a.mp3");
    EXPECT_EQ(LocationFromArgument("file:///m/100%.mp3", "/x"), u"/m/100%.mp3");  // no escape: as it stands
    EXPECT_EQ(LocationFromArgument("file:///m/a.mp3#part", "/x"), u"/m/a.mp3");
    EXPECT_EQ(LocationFromUri("file:///m/a%00b.mp3"), std::nullopt);  // no name holds a NUL
    EXPECT_EQ(LocationFromUri("file://otherhost/m/a.mp3"), std::nullopt);
    EXPECT_EQ(LocationFromUri("file://"), std::nullopt);
}

TEST(ArgumentLocations, WebAddressesPassAsTheyAre) {
    for (const char* address : {"http://example.org/a%20b.mp3?x=1", "https://example.org/live", "mms://media.example/s",
                                "rtsp://cam.example:554/stream", "HTTP://EXAMPLE.ORG/A.MP3"}) {
        EXPECT_EQ(LocationFromArgument(address, "/home/u"), text::FromFileName(address));
        EXPECT_EQ(LocationFromUri(address), text::FromFileName(address));
        EXPECT_FALSE(MissingFile(*LocationFromUri(address)));
    }
    EXPECT_EQ(LocationFromUri("http://"), std::nullopt);
    EXPECT_EQ(LocationFromUri("ftp://example.org/a.mp3"), std::nullopt);
    EXPECT_EQ(LocationFromUri("/plain/path.mp3"), std::nullopt);
}

TEST(ArgumentLocations, MissingFilesAreToldAndLeftOut) {
    test::TempFolder folder;
    const std::u16string there = test::WriteFile(folder / "\xC4\xE3\xBA\xC3.wav", test::WavFile(1));
    EXPECT_FALSE(MissingFile(there));
    EXPECT_TRUE(MissingFile(there + u".gone"));
    EXPECT_TRUE(MissingFile(u""));
    const std::string thereBytes = text::ToFileName(there);
    const std::string missing = thereBytes + ".gone";
    char program[] = "media";
    std::vector<char*> argv{program, const_cast<char*>(thereBytes.c_str()), const_cast<char*>(missing.c_str()),
                            const_cast<char*>("https://example.org/live")};
    EXPECT_EQ(LocationsFromArguments(static_cast<int>(argv.size()), argv.data()),
              (std::vector<std::u16string>{there, u"https://example.org/live"}));
}

// ---------------------------------------------------------------- the list's place

namespace {
class PlaylistPlaceChoice : public ::testing::Test {
protected:
    // A folder by the bytes of its name.
    std::u16string Folder(const char* name) {
        const std::string path = root.path().toStdString() + '/' + name;
        std::filesystem::create_directories(path);
        return text::FromFileName(path);
    }
    static void Touch(const std::u16string& file) { test::WriteFile(text::ToFileName(file), {}); }
    QTemporaryDir root;
};
}  // namespace

TEST_F(PlaylistPlaceChoice, AWritableProgramFolderKeepsItsList) {
    const std::u16string program = Folder("app"), data = Folder("data");
    Touch(data + u"/default.lst");  // even beside a list in the data folder
    const PlaylistPlace place = ChoosePlaylistPlace(program, true, data);
    EXPECT_EQ(place.file, program + u"/default.lst");
    EXPECT_EQ(place.startFrom, program + u"/default.lst");
}

TEST_F(PlaylistPlaceChoice, AReadOnlyProgramFolderSendsTheListToTheDataFolder) {
    const std::u16string program = Folder("app"), data = root.path().toStdU16String() + u"/not/yet/media";
    PlaylistPlace place = ChoosePlaylistPlace(program, false, data);
    EXPECT_EQ(place.file, data + u"/default.lst");
    EXPECT_EQ(place.startFrom, data + u"/default.lst");
    // The program folder's list is the starting point while the data folder has none of its own.
    Touch(program + u"/default.lst");
    place = ChoosePlaylistPlace(program, false, data);
    EXPECT_EQ(place.file, data + u"/default.lst");
    EXPECT_EQ(place.startFrom, program + u"/default.lst");
    // Once the user's own list is there, it is the one read.
    std::filesystem::create_directories(text::ToFileName(data));
    Touch(data + u"/default.lst");
    place = ChoosePlaylistPlace(program, false, data);
    EXPECT_EQ(place.startFrom, data + u"/default.lst");
}

TEST_F(PlaylistPlaceChoice, WithoutADataFolderTheListStaysBesideTheProgram) {
    const std::u16string program = Folder("app");
    const PlaylistPlace place = ChoosePlaylistPlace(program, false, u"");
    EXPECT_EQ(place.file, program + u"/default.lst");
}

TEST_F(PlaylistPlaceChoice, NamesThatAreNotUtf8KeepTheirBytes) {
    const std::u16string program = Folder("\xC4\xE3"), data = Folder("data");
    ASSERT_TRUE(text::HoldsRawBytes(program));
    Touch(program + u"/default.lst");
    const PlaylistPlace place = ChoosePlaylistPlace(program, false, data);
    EXPECT_EQ(place.startFrom, program + u"/default.lst");
}

// ---------------------------------------------------------------- the open command on the real windows

namespace {
class OpenCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(grid.Valid()) << "the grid library was not found through media.manifest";
        frmList().Show();
        Silence();
        grid.Clear();
        Shared().CurrentIndex = 0;
    }
    void TearDown() override { Silence(); }
    // Nothing plays and no media is open.
    void Silence() {
        transport.Stop();
        player.close();
    }
    std::u16string Track(const std::string& name) { return test::WriteFile(folder / name, test::WavFile(3)); }
    LocationOpener Opener(int* rowsAddedCalls = nullptr) {
        return LocationOpener(
            transport, [] { return !frmList().Loaded(); },
            [rowsAddedCalls] {
                if (rowsAddedCalls) ++*rowsAddedCalls;
            });
    }

    GridProxy& grid = frmList().PlayList();
    Transport& transport = frmMain().Transport();
    mediaplayer::MediaPlayer& player = frmMain().MediaPlayer();
    test::TempFolder folder;
};
}  // namespace

TEST_F(OpenCommand, RowsAreAppendedInOrderAndTheFirstPlays) {
    AddRow(grid, 1, u"old", u"", u"00:00", Track("old.wav"));
    const std::u16string first = Track("\xC4\xE3\xBA\xC3.wav"), second = Track("second.wav");
    MediaAdder adder(grid);
    // An empty location is one the grid refuses: it is skipped, and the next is still the first to play.
    EXPECT_EQ(AddAndPlay(transport, adder, {u"", first, second}), 2);
    ASSERT_EQ(grid.ItemCount(), 3);
    EXPECT_EQ(grid.ItemText(1, column::kLocation), first);
    EXPECT_EQ(grid.ItemText(2, column::kLocation), second);
    EXPECT_EQ(grid.ItemText(1, column::kTitle), text::ReadableFileName(kNihao));
    EXPECT_EQ(Shared().CurrentIndex, 1);
    EXPECT_EQ(player.URL(), first);
    EXPECT_TRUE(test::WaitForState(player, mediaplayer::Playing));
}

TEST_F(OpenCommand, NothingAddedStartsNothing) {
    MediaAdder adder(grid);
    EXPECT_EQ(AddAndPlay(transport, adder, {u""}), 0);
    EXPECT_EQ(grid.ItemCount(), 0);
    EXPECT_TRUE(player.URL().empty());
}

TEST_F(OpenCommand, RequestsWaitUntilTheListHasLoadedAndThenRunInOrder) {
    int rowsAdded = 0;
    LocationOpener opener = Opener(&rowsAdded);
    const std::u16string a = Track("a.wav"), b = Track("b.wav"), c = Track("c.wav");
    opener.Open({a});
    opener.Open({b, c});
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.ItemCount(), 0);  // the list is still loading
    opener.ListLoaded();
    EXPECT_EQ(grid.ItemCount(), 0);  // carried out from the event loop, not inside the caller
    ASSERT_TRUE(QTest::qWaitFor([this] { return grid.ItemCount() == 3; }, 10000));
    EXPECT_EQ(grid.ItemText(0, column::kLocation), a);
    EXPECT_EQ(grid.ItemText(1, column::kLocation), b);
    EXPECT_EQ(grid.ItemText(2, column::kLocation), c);
    // Each request plays its own first location; the later one last.
    EXPECT_EQ(Shared().CurrentIndex, 1);
    EXPECT_EQ(player.URL(), b);
    EXPECT_EQ(rowsAdded, 2);
}

TEST_F(OpenCommand, WaitingLocationsCanBeTakenForARunningCopy) {
    LocationOpener opener = Opener();
    opener.Open({u"/a.wav"});
    opener.Open({});
    opener.Open({u"/b.wav", u"/c.wav"});
    EXPECT_EQ(opener.TakeWaiting(), (std::vector<std::u16string>{u"/a.wav", u"/b.wav", u"/c.wav"}));
    opener.ListLoaded();
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.ItemCount(), 0);
}

// A request the loaded list cannot take whole is refused at once, so its sender can be told that nothing was
// opened, instead of being taken and then losing rows; the requests still waiting count against the room.
TEST_F(OpenCommand, AListWithoutRoomRefusesARequestWhole) {
    LocationOpener opener = Opener();
    opener.ListLoaded();
    grid.SetRedraw(false);
    for (std::int32_t r = 0; r < kMaxRows - 2; ++r) AddRow(grid, r + 1, u"", u"", u"00:00", u"/x.wav");
    grid.SetRedraw(true);
    const std::u16string a = Track("a.wav"), b = Track("b.wav");
    EXPECT_TRUE(opener.Open({a, b}));
    EXPECT_FALSE(opener.Open({a}));
    ASSERT_TRUE(QTest::qWaitFor([this] { return grid.ItemCount() == kMaxRows; }, 10000));
    EXPECT_EQ(grid.ItemText(kMaxRows - 1, column::kLocation), b);
    EXPECT_FALSE(opener.Open({a}));
    EXPECT_TRUE(opener.Open({})) << "nothing asked, nothing refused";
    grid.Clear();
    EXPECT_TRUE(opener.Open({a}));
}

// Lists of other players and the program's own: given from outside they stand for their songs; opened with the menu
// they make an unnamed list (their files are never written over in another format); saved under a ".m3u8" name they
// are written as M3U8 and read back.
TEST_F(OpenCommand, ListsStandForTheirSongsAndSaveAsM3u8) {
    const std::u16string a = Track("a.wav"), b = Track("b.wav"), c = Track("c.wav");
    const std::string dir = text::ToFileName(a.substr(0, a.rfind(u'/')));
    test::WriteFile(folder / "x.m3u",
                    test::Bytes{'#', 'E', 'X', 'T', 'M', '3', 'U', '\n', 'b', '.', 'w', 'a', 'v', '\n'});
    const std::string pls = "[playlist]\nFile1=" + text::ToFileName(c) + "\nNumberOfEntries=1\n";
    const std::u16string plsPath = test::WriteFile(folder / "y.pls", test::Bytes(pls.begin(), pls.end()));

    LocationOpener opener = Opener();
    opener.ListLoaded();
    EXPECT_TRUE(opener.Open({a, text::FromFileName(dir + "/x.m3u"), plsPath, text::FromFileName(dir + "/gone.xspf")}));
    ASSERT_TRUE(QTest::qWaitFor([this] { return grid.ItemCount() == 3; }, 10000));
    EXPECT_EQ(grid.ItemText(1, column::kLocation), b);
    EXPECT_EQ(grid.ItemText(2, column::kLocation), c);

    // Saved as M3U8 under the name chosen, which the list then keeps.
    QStringList answer{QString::fromStdString(dir + "/saved.M3U8")};
    forms::SetDialogHook([&answer](const forms::DialogRequest&) { return answer; });
    frmMenu().PlayListSave();
    EXPECT_EQ(Shared().PlayListFile, text::FromFileName(dir + "/saved.M3U8"));
    std::ifstream saved(dir + "/saved.M3U8");
    std::string firstLine;
    std::getline(saved, firstLine);
    EXPECT_EQ(firstLine, "#EXTM3U");

    // Opened with the menu: its songs in place of the rows, the first playing, and no list file to write back.
    answer = {QString::fromStdString(dir + "/saved.M3U8")};
    frmMenu().mnuPlayListOpen().Click();
    forms::SetDialogHook({});
    ASSERT_EQ(grid.ItemCount(), 3);
    EXPECT_EQ(grid.ItemText(0, column::kLocation), a);
    EXPECT_EQ(grid.ItemText(2, column::kLocation), c);
    EXPECT_EQ(Shared().PlayListFile, u"");
    EXPECT_EQ(player.URL(), a);
    EXPECT_FALSE(frmList().MayWriteBack(text::FromFileName(dir + "/saved.M3U8")));
}

// What the window and the desktop are told agrees with what plays: an empty list at start shows nothing playing, a
// row started after the stop button gives the buttons their playing look, and the desktop hears of the song that
// plays (and moves on from it) after a row above it has gone.
TEST_F(OpenCommand, WhatIsShownAgreesWithWhatPlays) {
    MainWindow& main = frmMain();
    transport.StartLoadedList();  // an empty list
    EXPECT_EQ(main.ImgPlay.Tag, QStringLiteral("p"));
    EXPECT_NE(main.EchoState.Caption(), QStringLiteral("正在播放"));

    const std::u16string a = Track("a.wav"), b = Track("b.wav"), c = Track("c.wav");
    for (const std::u16string& track : {a, b, c}) AddFile(grid, track);
    transport.Stop();
    transport.StartChosenRow(2);  // as a double-click on the row does
    EXPECT_EQ(main.ImgPlay.Tag, QStringLiteral("s"));
    EXPECT_TRUE(main.ImgStop.Enabled());
    EXPECT_TRUE(main.ImgNext.Enabled());

    RemoteControl remote(main);
    ASSERT_TRUE(QTest::qWaitFor([this] { return grid.ItemTag(2) == kTagCurrent; }, 10000));
    grid.RemoveItem(0);
    EXPECT_EQ(remote.Metadata().value(QStringLiteral("xesam:url")).toString().toStdString(), FileUri(c));
    remote.Previous();
    EXPECT_EQ(player.URL(), b);
    EXPECT_EQ(remote.Metadata().value(QStringLiteral("xesam:url")).toString().toStdString(), FileUri(b));
    transport.Stop();
    player.close();
    EXPECT_TRUE(remote.Metadata().isEmpty());
}
