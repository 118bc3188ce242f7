#pragma once
// The program's windows for a whole test program, as they live in the player: created on first use, the grid made
// through the program's manifest, the transport playing the grid's rows, no list file.
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
        media::frmMain().ImgPlay.Tag = QStringLiteral("p");
        media::frmMain().transport().SetGrid(media::frmList().PlayList());
        media::Shared().PlayListFile.clear();
        media::frmList().Load();
    }
    void TearDown() override { media::DestroyWindows(); }
};
