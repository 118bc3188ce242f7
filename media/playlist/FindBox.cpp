#include "media/playlist/FindBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "media/playlist/PlaylistRows.h"
#include "media/windows/CjkFont.h"

namespace media {

namespace {

constexpr int kMargin = 8;       // pixels between the box and the sides of the window it opens over
constexpr int kTopOffset = 50;   // below the window's title bar
constexpr int kBoxHeight = 230;  // pixels
constexpr int kMinWidth = 240;

// Black and green as the playlist draws its rows, so the box reads as part of the skinned player.
const char* const kLook = R"(
QWidget#FindBox { background: #0a0a0a; border: 1px solid #2d6b2d; }
QLineEdit { background: #000000; color: #00ff00; border: 1px solid #2a2a2a; padding: 2px 4px;
            selection-background-color: #1e5a1e; selection-color: #ffffff; }
QListView { background: #000000; color: #00d800; border: none; outline: none;
            selection-background-color: #1e5a1e; selection-color: #ffffff; }
QLabel { color: #5f9f5f; }
QScrollBar:vertical { background: #0a0a0a; width: 8px; margin: 0; }
QScrollBar::handle:vertical { background: #2d6b2d; min-height: 16px; }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }
)";

}  // namespace

int FoundRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant FoundRowsModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const std::int32_t row = rows_[static_cast<std::size_t>(index.row())];
    const QString title = QString::fromStdU16String(grid_.ItemText(row, column::kTitle));
    const QString artist = QString::fromStdU16String(grid_.ItemText(row, column::kArtist));
    const QString number = QStringLiteral("%1. ").arg(row + 1);
    return artist.isEmpty() ? number + title : number + title + QStringLiteral(" - ") + artist;
}

FindBox::FindBox(GridProxy& grid, std::function<void(std::int32_t)> play)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint),
      grid_(grid),
      play_(std::move(play)),
      model_(grid_, finder_.Results()),
      query_(new QLineEdit(this)),
      list_(new QListView(this)),
      count_(new QLabel(this)) {
    setObjectName(QStringLiteral("FindBox"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QString::fromLatin1(kLook));
    QFont font(CjkFamily(QStringLiteral("WenQuanYi Micro Hei")));
    font.setPixelSize(12);
    setFont(font);

    query_->setPlaceholderText(QStringLiteral("查找歌名、歌手或文件名"));
    query_->installEventFilter(this);
    connect(query_, &QLineEdit::textChanged, this, &FindBox::Search);

    list_->setModel(&model_);
    list_->setFocusPolicy(Qt::NoFocus);  // typing stays in the query
    list_->setUniformItemSizes(true);    // tens of thousands of results lay out at once
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setTextElideMode(Qt::ElideRight);
    connect(list_, &QListView::clicked, this, [this](const QModelIndex& index) { Choose(index.row()); });
    connect(list_, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        Choose(index.row());
        PlayChosen();
    });

    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* top = new QHBoxLayout;
    top->setSpacing(6);
    top->addWidget(query_, 1);
    top->addWidget(count_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
}

void FindBox::Open(const QWidget& anchor) {
    ReadRows();
    const QRect frame = anchor.frameGeometry();
    QRect box(frame.left() + kMargin, frame.top() + kTopOffset, std::max(frame.width() - 2 * kMargin, kMinWidth),
              kBoxHeight);
    // Wholly on the screen the window is on, wherever the window stands.
    if (const QScreen* screen = anchor.screen()) {
        const QRect area = screen->availableGeometry();
        box.setWidth(std::min(box.width(), area.width()));
        box.moveLeft(std::clamp(box.left(), area.left(), area.right() + 1 - box.width()));
        box.moveTop(std::clamp(box.top(), area.top(), std::max(area.top(), area.bottom() + 1 - box.height())));
    }
    setGeometry(box);
    show();
    raise();
    activateWindow();
    query_->setFocus(Qt::PopupFocusReason);
    query_->selectAll();
    Search();
}

void FindBox::ReadRows() {
    finder_.Index(static_cast<std::size_t>(std::max(grid_.ItemCount(), 0)), [this](std::size_t r) {
        const auto row = static_cast<std::int32_t>(r);
        return FindableRow{grid_.ItemText(row, column::kTitle), grid_.ItemText(row, column::kArtist),
                           grid_.ItemText(row, column::kLocation)};
    });
    stale_ = false;
}

void FindBox::Search() {
    if (stale_) ReadRows();
    const auto& found = finder_.Find(query_->text().toStdU16String());
    model_.Reset();
    count_->setText(QStringLiteral("%1/%2").arg(found.size()).arg(finder_.RowCount()));
    Choose(0);
}

void FindBox::Choose(int result) {
    const int results = model_.rowCount();
    if (results == 0) return;
    const QModelIndex index = model_.index(std::clamp(result, 0, results - 1));
    list_->setCurrentIndex(index);
    list_->scrollTo(index);
}

std::int32_t FindBox::ChosenRow() const {
    const QModelIndex index = list_->currentIndex();
    const auto& found = finder_.Results();
    if (!index.isValid() || index.row() >= static_cast<int>(found.size())) return -1;
    return found[static_cast<std::size_t>(index.row())];
}

void FindBox::PlayChosen() {
    // The rows may have moved since they were read: a row that is gone plays nothing.
    const std::int32_t row = ChosenRow();
    hide();
    if (row >= 0 && row < grid_.ItemCount()) play_(row);
}

bool FindBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched != query_ || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const int current = list_->currentIndex().row();
    const int page = std::max(list_->viewport()->height() / std::max(list_->sizeHintForRow(0), 1) - 1, 1);
    switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up: Choose(current - 1); return true;
        case Qt::Key_Down: Choose(current + 1); return true;
        case Qt::Key_PageUp: Choose(current - page); return true;
        case Qt::Key_PageDown: Choose(current + page); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: PlayChosen(); return true;
        case Qt::Key_Escape: hide(); return true;
        default: return false;
    }
}

}  // namespace media
