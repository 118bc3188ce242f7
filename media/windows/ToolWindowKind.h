#pragma once
// What sets the playlist, lyrics and web windows apart; everything else about their frame is shared.
#include <QSizeF>
#include <QString>
#include <array>

#include "media/windows/FrameGeometry.h"

namespace media {

class MainWindow;

// What follows the frame pieces when the frame is composed, in the window's own order.
enum class FrameStep {
    Caption,  // print the caption on the frame
    Content,  // place the window's content (grid, lyric canvas, browser)
    Region,   // apply the outline
};

struct ToolWindowKind {
    QString caption;
    bool hasTopButton = false;        // the stay-on-top button
    double titleBarHeight = 375;      // the drag strip IMBar
    double bottomMiddleHeight = 600;  // B: height of the bottom middle piece
    double bottomLeftHeight = 800;    // C: height of the bottom-left corner piece
    std::array<FrameStep, 3> finish{FrameStep::Caption, FrameStep::Content, FrameStep::Region};
    SnapRule snap{SnapSide::Below, 500};
    QSizeF designSize;
    QSizeF minimumSize;
    bool MainWindow::*shownFlag = nullptr;  // the main window's flag the close button clears
    bool dragsByBackground = false;         // a press on the bare window starts a move too (no snapping)

    static ToolWindowKind Playlist();
    static ToolWindowKind Lyrics();
    static ToolWindowKind Web(const QString& caption);
};

}  // namespace media
