#include "media/windows/ToolWindow.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "media/core/MainWindow.h"
#include "media/core/Skin.h"
#include "media/core/Windows.h"
#include "media/windows/CjkFont.h"
#include "platform/forms/Twips.h"

namespace media {

namespace {

const QColor kFrameBackColor(255, 255, 255);
const QColor kCaptionColor(31, 96, 169);
// Where the caption's first line starts, in twips.
constexpr double kCaptionLeft = 100;
constexpr double kCaptionTop = 120;

QFont CaptionFont() {
    QFont font(CjkFamily(QStringLiteral("宋体")));
    font.setPixelSize(12);  // 9 points on the 96-dpi screens the skin is drawn for
    return font;
}

}  // namespace

ToolWindow::ToolWindow(ToolWindowKind kind)
    // A tool of the main window: no taskbar entry of its own, kept above the main window.
    : Form(kind.caption, nullptr, Qt::Tool),
      PMain(this),
      IMBar(this),
      Pbottom(this),
      Pright(this),
      Pjiao(this),
      ImClose(this, QStringLiteral("close")),
      ImgTop(this, QStringLiteral("top")),
      kind_(std::move(kind)) {
    const double w = kind_.designSize.width(), h = kind_.designSize.height();
    PMain.SetVisible(false);
    IMBar.Move(0, 0, w - 300, kind_.titleBarHeight);
    Pbottom.Move(0, h - 195, w - 240, 195);
    Pbottom.SetMousePointer(Qt::SizeVerCursor);
    Pright.Move(w - 135, 0, 135, h - 240);
    Pright.SetMousePointer(Qt::SizeHorCursor);
    Pjiao.Move(w - 255, h - 255, 255, 255);
    Pjiao.SetMousePointer(Qt::SizeFDiagCursor);
    ImClose.Move(w - 330, 60, 255, 240);
    ImClose.SetToolTipText(QStringLiteral("关闭"));
    ImgTop.Move(w - 700, 60, 270, 285);
    ImgTop.SetVisible(kind_.hasTopButton);
    ImgTop.SetHeldWhile([this] { return isTop; });
    ConnectFrameHandlers();
    Resize(w, h);
    SetOffTaskbar(true);
    if (frmMainExists()) SetOwner(&frmMain());
}

void ToolWindow::ConnectFrameHandlers() {
    IMBar.MouseDown = [this](const forms::MouseArgs& a) { IMBar_MouseDown(a); };
    IMBar.MouseMove = [this](const forms::MouseArgs&) { ClearHoverPictures(); };

    ImClose.MouseMove = [this](const forms::MouseArgs&) { ImClose.HoverOnce(); };
    ImClose.MouseDown = [this](const forms::MouseArgs&) { ImClose.ShowLook(ButtonLook::Pressed); };
    ImClose.MouseUp = [this](const forms::MouseArgs&) { ImClose.EndHover(); };
    ImClose.Click = [this] { ImClose_Click(); };

    // While on top the pressed picture stays: it shows the state.
    ImgTop.MouseMove = [this](const forms::MouseArgs&) { ImgTop.ShowLook(ButtonLook::Hover); };
    ImgTop.MouseDown = [this](const forms::MouseArgs&) { ImgTop.ShowLook(ButtonLook::Pressed); };
    ImgTop.Click = [this] { ImgTop_Click(); };

    ConnectResizeHandle(Pright, {true, false});
    ConnectResizeHandle(Pbottom, {false, true});
    ConnectResizeHandle(Pjiao, {true, true});
}

// The Tag marks a handle being dragged, from the press (any button) to the release.
void ToolWindow::ConnectResizeHandle(forms::Image& handle, ResizeAxes axes) {
    handle.MouseDown = [&handle](const forms::MouseArgs&) { handle.Tag = QStringLiteral("1"); };
    handle.MouseUp = [&handle](const forms::MouseArgs&) { handle.Tag.clear(); };
    handle.MouseMove = [this, &handle, axes](const forms::MouseArgs&) {
        if (!handle.Tag.isEmpty()) ResizeTowards(axes, QCursor::pos());
    };
}

// ---------------------------------------------------------------- skin and composition

void ToolWindow::KeepWithinScreen() {
    const QRectF placed(Left(), Top(), Width(), Height());
    const QScreen* on = QGuiApplication::screenAt(ToPixelRect(placed).center());
    if (!on) on = frmMain().screen();  // placed off every screen: the main window's
    if (!on) return;
    const QRect area = on->availableGeometry();
    const QRectF kept = KeptWithin(placed,
                                   QRectF(forms::ToTwips(area.x()), forms::ToTwips(area.y()),
                                          forms::ToTwips(area.width()), forms::ToTwips(area.height())),
                                   kind_.minimumSize);
    if (kept != placed) Move(kept.left(), kept.top(), kept.width(), kept.height());
}

void ToolWindow::ApplyFrameSkin() {
    ApplyButtonPicture(PMain, QStringLiteral("playlist_skin.bmp"));
    // The close button's normal picture, also after a hover that was never cleared.
    ImClose.EndHover();
    if (kind_.hasTopButton) ImgTop.ShowLook(ButtonLook::Normal);
    ComposeFrame();
}

void ToolWindow::ComposeFrame() {
    const double w = Width(), h = Height();
    // Title bar.
    if (kind_.hasTopButton) ImgTop.SetLeft(w - 700);
    IMBar.SetWidth(w - 300);
    ImClose.SetTop(60);
    ImClose.SetLeft(w - 330);
    PlaceTitleBar();
    // Resize handles along the right and bottom edges.
    Pbottom.SetTop(h - Pbottom.Height());
    Pbottom.SetWidth(w - 240);
    Pright.SetLeft(w - Pright.Width());
    Pright.SetHeight(h - 240);
    Pjiao.Move(w - Pjiao.Width(), h - Pjiao.Height(), Pjiao.Width(), Pjiao.Height());

    frame_ = QImage(size(), QImage::Format_RGB32);
    frame_.fill(kFrameBackColor);
    QPainter painter(&frame_);
    PaintFrame(painter);
    for (FrameStep step : kind_.finish) {
        switch (step) {
            case FrameStep::Caption: PaintCaption(painter); break;
            case FrameStep::Content: PlaceContent(); break;
            case FrameStep::Region: RMe(); break;
        }
    }
    update();
}

void ToolWindow::PaintFrame(QPainter& painter) const {
    const QPixmap& skin = PMain.Picture();
    if (skin.isNull()) return;  // no bitmap: the back colour and the caption only
    const auto pieces = FramePieces(Width(), Height(), forms::ToTwips(skin.width()), forms::ToTwips(skin.height()),
                                    kind_.bottomMiddleHeight, kind_.bottomLeftHeight);
    // Sources reaching past the bitmap are cut to it, and their targets in proportion.
    for (const FramePiece& piece : pieces)
        painter.drawPixmap(ToPixelRect(piece.target), skin, ToPixelRect(piece.source));
}

void ToolWindow::PaintCaption(QPainter& painter) const {
    painter.setPen(kCaptionColor);
    painter.setFont(CaptionFont());
    const QPoint at(forms::ToPixels(kCaptionLeft), forms::ToPixels(kCaptionTop));
    painter.drawText(QRect(at, QPoint(frame_.width() - 1, frame_.height() - 1)), Qt::AlignLeft | Qt::AlignTop,
                     kind_.caption);
}

void ToolWindow::RMe() { SetRegion(ToolWindowRegion(Width(), Height())); }

void ToolWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (frame_.isNull())
        painter.fillRect(rect(), kFrameBackColor);
    else
        painter.drawImage(0, 0, frame_);
}

// ---------------------------------------------------------------- moving

void ToolWindow::MoveWithPointer() {
    moving_ = true;
    RunMoveLoop();
    moving_ = false;
}

void ToolWindow::IMBar_MouseDown(const forms::MouseArgs& a) {
    if (a.button != forms::kLeftButton) return;
    MoveWithPointer();
    SnapToMainWindow();
}

void ToolWindow::SnapToMainWindow() {
    MainWindow& main = frmMain();
    const QPointF settled =
        SnapToMain(kind_.snap, {Left(), Top()}, QRectF(main.Left(), main.Top(), main.Width(), main.Height()));
    if (settled != QPointF(Left(), Top())) Move(settled.x(), settled.y());
}

void ToolWindow::mousePressEvent(QMouseEvent* event) {
    if (kind_.dragsByBackground && event->button() == Qt::LeftButton) {
        MoveWithPointer();
        return;
    }
    Form::mousePressEvent(event);
}

void ToolWindow::mouseMoveEvent(QMouseEvent* event) {
    // The form sees every move while it is dragged; only a pointer over the bare window clears hover pictures.
    if (!moving_) ClearHoverPictures();
    Form::mouseMoveEvent(event);
}

// ---------------------------------------------------------------- resizing

void ToolWindow::ResizeTowards(ResizeAxes axes, QPoint cursorPixels) {
    const QSizeF current(Width(), Height());
    const QSizeF dragged = DraggedSize(axes, cursorPixels, {Left(), Top()}, current, kind_.minimumSize);
    if (dragged != current) Resize(dragged.width(), dragged.height());
}

// ---------------------------------------------------------------- buttons

void ToolWindow::ClearHoverPictures() {
    if (!ImClose.Tag.isEmpty()) ImClose.EndHover();
    if (kind_.hasTopButton) ImgTop.ShowLook(ButtonLook::Normal);
}

// Closing only hides; the main window's flag follows so that its toggle button shows the window with one click.
void ToolWindow::ImClose_Click() {
    Hide();
    if (kind_.shownFlag) frmMain().*kind_.shownFlag = false;
}

// The window manager's close (Alt+F4, a close request) is the close button: the window only hides, keeping its rows
// and state, and is never unloaded.
void ToolWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    ImClose_Click();
}

void ToolWindow::ImgTop_Click() {
    isTop = !isTop;
    SetTopMost(isTop);
    ImgTop.ShowResting();
}

}  // namespace media
