#include "media/playlist/MenuWindow.h"

#include <QFileInfo>
#include <QPointer>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "media/core/MainWindow.h"
#include "media/core/ModuleMedia.h"
#include "media/core/Windows.h"
#include "media/playlist/AddMedia.h"
#include "media/playlist/ForeignLists.h"
#include "media/playlist/PlaylistWindow.h"
#include "media/readers/MediaFormats.h"
#include "media/windows/AboutWindow.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/mediaplayer/MediaPlayer.h"
#include "platform/text/FileName.h"

namespace media {

MenuWindow::MenuWindow()
    : Form(QStringLiteral("菜单窗体")), mnuList(QStringLiteral("列表")), mnuLrc(QStringLiteral("歌词")) {
    AddListItems();
    BindListCommands();
    mnuLrc.Add(u"mnuEdit", QStringLiteral("编辑"));
}

void MenuWindow::AddListItems() {
    mnuList.Add(u"mnuAddFile", QStringLiteral("添加文件(&A)"));
    mnuList.Add(u"mnuAddFolder", QStringLiteral("添加目录(&F)"));
    mnuList.Add(QStringLiteral("-"));
    mnuList.Add(u"mnuDelFile", QStringLiteral("删除文件(&D)"));
    mnuList.Add(u"mnuClearList", QStringLiteral("清除列表(&C)"));
    mnuList.Add(QStringLiteral("-"));
    const char* modes[kPlayModeCount] = {"单曲播放(&S)", "单曲循环(&I)", "顺序播放(&N)", "循环播放(&X)",
                                         "随机播放(&R)"};
    for (int i = 0; i < kPlayModeCount; ++i) mnuList.Add(u"mnuPlayMode", i, QString::fromUtf8(modes[i]));
    mnuPlayMode(ModeLoop).SetChecked(true);
    mnuList.Add(QStringLiteral("-"));
    mnuList.Add(u"mnuPlayListOpen", QStringLiteral("打开播放列表(&O)"));
    mnuList.Add(u"mnuPlayListCreate", QStringLiteral("新建播放列表(&L)"));
    mnuList.Add(u"mnuPlayListSave", QStringLiteral("将播放列表另存为(&S)"));
    mnuList.Add(QStringLiteral("-"));
    mnuList.Add(u"mnuAbout", QStringLiteral("关于(&A)"));
}

void MenuWindow::BindListCommands() {
    mnuAddFile().Click = [this] { mnuAddFile_Click(); };
    mnuAddFolder().Click = [this] { mnuAddFolder_Click(); };
    mnuDelFile().Click = [this] { mnuDelFile_Click(); };
    mnuClearList().Click = [this] { mnuClearList_Click(); };
    for (int i = 0; i < kPlayModeCount; ++i) mnuPlayMode(i).Click = [this, i] { mnuPlayMode_Click(i); };
    mnuPlayListOpen().Click = [this] { mnuPlayListOpen_Click(); };
    mnuPlayListCreate().Click = [this] { mnuPlayListCreate_Click(); };
    mnuPlayListSave().Click = [this] { PlayListSave(); };
    mnuAbout().Click = [] { AboutWindow::ShowModal(&frmMain()); };
}

MediaAdder MenuWindow::PlaylistAdder() {
    QPointer<PlaylistWindow> list = &frmList();
    return MediaAdder(list->PlayList(), [list] { return !list || !list->Loaded(); });
}

void MenuWindow::mnuAddFile_Click() {
    MediaAdder adder = PlaylistAdder();
    AddFileCommand(adder);
}

void MenuWindow::mnuAddFolder_Click() {
    MediaAdder adder = PlaylistAdder();
    AddFolderCommand(this, adder);
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
    for (int i = 0; i < kPlayModeCount; ++i) mnuPlayMode(i).SetChecked(false);
    Shared().PlayMode = static_cast<std::int16_t>(index);
    mnuPlayMode(index).SetChecked(true);
}

void MenuWindow::ChoosePlayMode(int index) {
    if (index >= 0 && index < kPlayModeCount) mnuPlayMode_Click(index);
}

void MenuWindow::mnuPlayListOpen_Click() {
    const QString otherLists = QString::fromStdU16String(DialogPatterns(DialogEntry::OtherLists));
    const QString chosen = forms::BrowseForFiles(
        nullptr, QStringLiteral("选择要播放的列表"),
        QStringLiteral("播放列表 (*.lst);;") + forms::NameFilter(QStringLiteral("其他播放器的播放列表"), otherLists),
        QStringLiteral("*.lst"), 1, 65535);
    if (chosen.isEmpty()) return;
    // The stop action first: the load ends with a click on play/pause, which must find it offering play, or the
    // new list's first row would be paused instead of started.
    frmMain().Transport().Stop();
    PlaylistWindow& list = frmList();
    list.PlayList().Clear();
    // Several lists chosen at once name their folder, which is no list: nothing is loaded, and the list is left
    // unnamed so that the exit save asks for a name rather than failing to write over a folder.
    const QString file = forms::UpToNul(chosen);
    // Another player's list is read for its songs and never written over in another format: the list it gives is
    // unnamed, and the exit save asks where to keep it.
    const bool foreign = IsForeignList(ListFormatOf(file.toStdU16String()));
    Shared().PlayListFile = QFileInfo(file).isDir() || foreign ? std::u16string() : file.toStdU16String();
    if (foreign) list.StartFrom(file.toStdU16String());
    list.LoadPlayList();
}

void MenuWindow::mnuPlayListCreate_Click() { Shared().PlayListFile.clear(); }

void MenuWindow::PlayListSave() {
    QString chosen = forms::UpToNul(forms::BrowseForSaveFile(&frmMain(), QStringLiteral("保存播放列表"),
                                                             QStringLiteral("播放列表(*.lst);;M3U8 播放列表(*.m3u8)")));
    if (chosen.isEmpty()) return;
    // A name ending ".m3u8" is saved as one (SavePlayList writes by the name); any other follows the ".lst" rule.
    if (ListFormatOf(chosen.toStdU16String()) != ListFormat::M3u8 &&
        !chosen.contains(QStringLiteral(".lst"), Qt::CaseInsensitive))
        chosen += QStringLiteral(".lst");
    const std::u16string path = chosen.toStdU16String();
    if (SaveListTelling(path, true)) Shared().PlayListFile = path;
}

bool MenuWindow::SaveListTelling(const std::u16string& path, bool inABox) {
    if (!frmListExists()) return false;
    if (frmList().SavePlayList(path)) return true;
    const int error = errno;
    const std::string localPath = text::ToFileName(path);
    const char* reason = error ? std::strerror(error) : "unknown error";
    std::fprintf(stderr, "media: the playlist could not be saved to %s: %s\n", localPath.c_str(), reason);
    if (inABox)
        forms::WarningBox(&frmMain(), frmMain().windowTitle(),
                          QStringLiteral("播放列表未能保存：%1（%2）")
                              .arg(QString::fromStdU16String(path),
                                   error ? QString::fromLocal8Bit(reason) : QStringLiteral("原因不明")));
    return false;
}

}  // namespace media
