#include "media/playlist/MenuWindow.h"

#include <QFileDialog>

#include "media/core/MainWindow.h"
#include "media/core/ModuleMedia.h"
#include "media/core/Windows.h"
#include "media/playlist/PlaylistWindow.h"
#include "platform/mediaplayer/MediaPlayer.h"

namespace media {

MenuWindow::MenuWindow() : Form(QStringLiteral("菜单窗体")), mnuList(QStringLiteral("列表")), mnuLrc(QStringLiteral("歌词")) {
    mnuList.Add(QStringLiteral("添加文件(&A)"));
    mnuList.Add(QStringLiteral("添加目录(&F)"));
    mnuList.Add(QStringLiteral("-"));
    mnuList.Add(QStringLiteral("删除文件(&D)")).Click = [this] { mnuDelFile_Click(); };
    mnuList.Add(QStringLiteral("清除列表(&C)")).Click = [this] { mnuClearList_Click(); };
    mnuList.Add(QStringLiteral("-"));
    const char* modes[] = {"单曲播放(&S)", "单曲循环(&I)", "顺序播放(&N)", "循环播放(&X)", "随机播放(&R)"};
    for (int i = 0; i < 5; ++i) {
        forms::MenuItem& item = mnuList.Add(QString::fromUtf8(modes[i]));
        item.SetChecked(i == 3);
        item.Click = [this, i] { mnuPlayMode_Click(i); };
    }
    mnuList.Add(QStringLiteral("-"));
    mnuList.Add(QStringLiteral("打开播放列表(&O)"));
    mnuList.Add(QStringLiteral("新建播放列表(&L)"));
    mnuList.Add(QStringLiteral("将播放列表另存为(&S)")).Click = [this] { PlayListSave(); };
    mnuList.Add(QStringLiteral("-"));
    mnuList.Add(QStringLiteral("关于(&A)"));
    mnuLrc.Add(QStringLiteral("编辑"));
}

void MenuWindow::mnuDelFile_Click() {
    GridProxy& grid = frmList().PlayList();
    const std::int32_t selected = grid.SelectedItem();
    if (selected >= 0) grid.RemoveItem(selected);
}

void MenuWindow::mnuClearList_Click() {
    frmList().PlayList().Clear();
    frmMain().MediaPlayer().close();
}

void MenuWindow::mnuPlayMode_Click(int index) {
    for (int i = 0; i < 5; ++i) mnuPlayMode(i).SetChecked(false);
    Shared().PlayMode = static_cast<std::int16_t>(index);
    mnuPlayMode(index).SetChecked(true);
}

void MenuWindow::PlayListSave() {
    QString chosen = QFileDialog::getSaveFileName(&frmMain(), QStringLiteral("保存播放列表"), QString(),
                                                  QStringLiteral("播放列表(*.lst)"));
    if (chosen.isEmpty()) return;
    if (!chosen.contains(QStringLiteral(".lst"), Qt::CaseInsensitive)) chosen += QStringLiteral(".lst");
    Shared().PlayListFile = chosen.toStdU16String();
    frmList().SavePlayList(Shared().PlayListFile);
}

}  // namespace media
