#pragma once
// The program's windows for a whole test program, as they live in the player: created on first use, the grid made
// through the program's manifest, the transport playing the grid's rows, no list file. Each repeat of the tests
// (--gtest_repeat) gets them anew, as a new start of the program would (see QtTestMain.cpp).
#include <gtest/gtest.h>

#include "media/core/MainWindow.h"
#include "media/core/ModuleMedia.h"
#include "media/core/Windows.h"
#include "media/playlist/PlaylistWindow.h"
#include "platform/automation/ClassRegistry.h"

class ProgramWindows : public ::testing::Environment {
public:
    void SetUp() override {
        automation::ClassRegistry::Instance().AddManifest(automation::ProgramFolder() + "/media.manifest");
        media::Shared() = media::SharedValues{};  // what a program starts with: a repeat must not inherit a play mode
        media::frmMain().ImgPlay.Tag = QStringLiteral("p");
        media::frmMain().Transport().SetGrid(media::frmList().PlayList());
        media::Shared().PlayListFile.clear();
        media::frmList().Load();
    }
    void TearDown() override { media::DestroyWindows(); }
};
