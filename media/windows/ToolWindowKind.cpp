#include "media/windows/ToolWindowKind.h"

#include "media/core/MainWindow.h"

namespace media {

ToolWindowKind ToolWindowKind::Playlist() {
    ToolWindowKind kind;
    kind.caption = QStringLiteral("播放列表");
    kind.finish = {FrameStep::Caption, FrameStep::Content, FrameStep::Region};
    kind.snap = {SnapSide::Below, 500};
    kind.designSize = {3945, 4680};
    kind.minimumSize = {2500, 1500};
    kind.shownFlag = &MainWindow::isList;
    return kind;
}

ToolWindowKind ToolWindowKind::Lyrics() {
    ToolWindowKind kind;
    kind.caption = QStringLiteral("歌词");
    kind.hasTopButton = true;
    kind.titleBarHeight = 495;
    kind.bottomMiddleHeight = 500;
    kind.bottomLeftHeight = 500;
    kind.finish = {FrameStep::Caption, FrameStep::Region, FrameStep::Content};
    kind.snap = {SnapSide::Below, 500};
    kind.designSize = {4080, 3330};
    kind.minimumSize = {2500, 960};
    kind.shownFlag = &MainWindow::isLrc;
    kind.dragsByBackground = true;
    return kind;
}

ToolWindowKind ToolWindowKind::Web(const QString& caption) {
    ToolWindowKind kind;
    kind.caption = caption;
    kind.hasTopButton = true;
    kind.finish = {FrameStep::Content, FrameStep::Caption, FrameStep::Region};
    kind.snap = {SnapSide::RightOf, 1500};
    kind.designSize = {7200, 7200};
    kind.minimumSize = {2500, 1500};
    kind.shownFlag = &MainWindow::isWindow;
    return kind;
}

}  // namespace media
