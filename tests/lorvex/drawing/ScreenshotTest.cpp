// Renders a populated grid the way the screen shows it (header, check boxes, pictures, a selection with the focus
// mark, rows coloured by a callback) and compares it with the reference picture kept beside this file. The picture
// is also written beside the build, for a person to look at; on a difference, the diff goes there too.
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>

#include "tests/lorvex/drawing/CustomDrawRecorder.h"
#include "tests/lorvex/input/GridHarness.h"

using namespace lorvex;
using namespace lorvex::test;

namespace {

// A small round picture with soft, transparent edges.
QString WritePicture(const QTemporaryDir& dir, const QString& name, QColor color) {
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(color);
    painter.setPen(color.darker(150));
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    painter.end();
    const QString path = dir.filePath(name);
    image.save(path);
    return path;
}

std::int32_t Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

// How far a rendering may stray from the reference: font hinting and antialiasing differ a little between builds of
// the libraries, a moved column or a lost selection does not stay within this.
constexpr int kChannelTolerance = 40;          // per colour channel, of 255
constexpr double kMostDifferingShare = 0.005;  // of all pixels

struct Difference {
    qsizetype differing = 0;  // pixels with a channel beyond ChannelTolerance
    QImage picture;           // the reference, faded, with those pixels in red
};

Difference Compare(const QImage& actual, const QImage& reference) {
    Difference result;
    result.picture = reference.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < reference.height(); ++y)
        for (int x = 0; x < reference.width(); ++x) {
            const QRgb a = actual.pixel(x, y), r = reference.pixel(x, y);
            const int most = std::max({std::abs(qRed(a) - qRed(r)), std::abs(qGreen(a) - qGreen(r)),
                                       std::abs(qBlue(a) - qBlue(r)), std::abs(qAlpha(a) - qAlpha(r))});
            if (most > kChannelTolerance) {
                ++result.differing;
                result.picture.setPixel(x, y, qRgb(255, 0, 0));
            } else {
                result.picture.setPixel(x, y, qRgb(128 + qGray(r) / 2, 128 + qGray(r) / 2, 128 + qGray(r) / 2));
            }
        }
    return result;
}

}  // namespace

TEST(Screenshot, PopulatedGridLooksLikeTheReference) {
    GridHarness grid(460, 260);
    QTemporaryDir pictures;
    ASSERT_TRUE(grid.view->AddPicture(WritePicture(pictures, "play.png", QColor(60, 160, 60)).toStdU16String()));
    ASSERT_TRUE(grid.view->AddPicture(WritePicture(pictures, "fail.png", QColor(210, 50, 40)).toStdU16String()));
    grid.view->SetCheckboxes(true);
    grid.AddColumn(u"no", 70, TextAlignLeft, true, true, u"#");
    grid.AddColumn(u"title", 170, TextAlignLeft, true, true, u"Title 标题");
    grid.AddColumn(u"artist", 130, TextAlignCenter, true, true, u"Artist");
    grid.AddColumn(u"time", 70, TextAlignRight, true, true, u"Time");
    const char16_t* titles[] = {u"Morning Light", u"小城故事",   u"A very long title that does not fit its column",
                                u"River",         u"Slow Train", u"月亮代表我的心",
                                u"Harbour",       u"Glass",      u"Northbound"};
    for (int i = 0; i < 30; ++i) {
        std::int32_t at = -1, row = 0;
        ASSERT_TRUE(grid.view->AddItem(at, GridHarness::Number(i + 1) + u".",
                                       i % 7 == 0   ? 0
                                       : i % 7 == 3 ? 1
                                                    : -1,
                                       row)
                        .Ok());
        grid.view->SetItemText(row, 1, titles[i % 9]);
        grid.view->SetItemText(row, 2, i % 2 ? u"Quartet" : u"邓丽君");
        grid.view->SetItemText(row, 3, u"0" + GridHarness::Number(3 + i % 5) + u":1" + GridHarness::Number(i % 10));
        grid.view->Items()[static_cast<std::size_t>(row)].checked = i % 3 == 0;
    }
    for (int row : {2, 3, 4}) grid.view->Items()[row].selected = true;
    grid.view->SetSelectedItem(3);
    grid.view->Columns()[1].pushed = true;  // a header button held down

    Ref<CustomDrawRecorder> callback(new CustomDrawRecorder);
    callback->choose = [&](std::int32_t row, std::int32_t) {
        const bool selected = grid.view->Items()[static_cast<std::size_t>(row)].selected;
        if (selected) return CellColors{true, Rgb(38, 100, 199), Rgb(255, 255, 255)};
        return CellColors{true, row % 2 ? Rgb(241, 249, 252) : -1, Rgb(76, 97, 143)};
    };
    grid.view->SetDrawCallback(Ref<Dispatch>(callback.Get()));
    QFocusEvent focus(QEvent::FocusIn);
    QApplication::sendEvent(grid.Window(), &focus);

    const QImage shot = grid.view->Widget()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QString out = QStringLiteral(LORVEX_SCREENSHOT_DIR);
    const QString path = out + QStringLiteral("/listview.png");
    QDir().mkpath(out);
    ASSERT_TRUE(shot.save(path));
    EXPECT_FALSE(callback->calls.empty());

    const QString referencePath = QStringLiteral(LORVEX_REFERENCE_DIR "/listview.png");
    const QImage reference(referencePath);
    ASSERT_FALSE(reference.isNull()) << "no reference picture " << referencePath.toStdString() << "; this rendering is "
                                     << path.toStdString() << ": look at it, then copy it there";
    ASSERT_EQ(shot.size(), reference.size())
        << "the rendering " << path.toStdString() << " is " << shot.width() << "x" << shot.height()
        << ", the reference " << reference.width() << "x" << reference.height();
    const Difference difference = Compare(shot, reference.convertToFormat(QImage::Format_ARGB32));
    const QString diffPath = out + QStringLiteral("/listview-diff.png");
    QFile::remove(diffPath);
    const double share = static_cast<double>(difference.differing) / (shot.width() * shot.height());
    if (share > kMostDifferingShare) difference.picture.save(diffPath);
    EXPECT_LE(share, kMostDifferingShare)
        << difference.differing << " pixels differ from " << referencePath.toStdString() << " by more than "
        << kChannelTolerance << "; the rendering is " << path.toStdString() << ", the differing pixels are red in "
        << diffPath.toStdString();
}
