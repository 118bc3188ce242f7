// The lyric canvas keeps its lines laid out and printed between ticks. What it shows must stay exactly what printing
// every line from the frame's top shows, through new lyrics, highlight changes, scrolling, seeks, resizes and font
// changes; and a frame that changes no pixel must not repaint.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "media/lyrics/LyricCanvas.h"

using namespace media;

namespace {

// The canvas sits below its window's title bar; it is rendered as far down, so that every row it shows is at a
// positive device row, as on screen.
constexpr int kBelow = 28;

std::vector<LyricLine> Song(int count, float step = 0.4f) {
    std::vector<LyricLine> lines;
    for (int i = 0; i < count; ++i) {
        std::u16string text;
        switch (i % 4) {
            case 0: text = u"第" + QString::number(i).toStdU16String() + u"行 月亮代表我的心"; break;
            case 1:
                text = u"Line " + QString::number(i).toStdU16String() + u": gypsy jazz, quick brown fox 你好";
                break;
            case 2: text = u"短 " + QString::number(i).toStdU16String(); break;
            default: text = u"Ägypten — ÿ q̃ 歌词在屏幕上滚动 " + QString::number(i).toStdU16String(); break;
        }
        lines.push_back({step * static_cast<float>(i + 1), std::move(text)});
    }
    return lines;
}

LyricFrame Frame(double top, int highlight) {
    LyricFrame frame;
    frame.clear = frame.draw = true;
    frame.top = static_cast<float>(top);
    frame.highlight = highlight;
    return frame;
}

QImage Blank(QSize canvas) {
    QImage image(std::max(canvas.width(), 1), canvas.height() + kBelow, QImage::Format_RGB32);
    image.fill(QColor(40, 50, 60));
    return image;
}

// The straightforward drawing: black, then every line from the top, one pitch apart, centred, the lit one white.
QImage Reference(const LyricTable& table, const QFont& font, QSize canvas, const LyricFrame& frame) {
    QImage image = Blank(canvas);
    QPainter painter(&image);
    painter.translate(0, kBelow);
    painter.setClipRect(QRect(QPoint(0, 0), canvas));
    painter.fillRect(QRect(QPoint(0, 0), canvas), Qt::black);
    if (!frame.draw) return image;
    painter.setFont(font);
    const QFontMetrics metrics(font);
    double y = frame.top;
    for (std::size_t i = 0; i < table.lyricLines.size(); ++i, y += metrics.lineSpacing()) {
        const QString text = QString::fromStdU16String(table.lyricLines[i].Text);
        painter.setPen(static_cast<int>(i) == frame.highlight ? QColor(255, 255, 255) : QColor(0, 255, 0));
        painter.drawText(QPointF((canvas.width() - metrics.horizontalAdvance(text)) / 2.0, y + metrics.ascent()), text);
    }
    return image;
}

QImage Rendered(LyricCanvas& canvas) {
    QImage image = Blank(canvas.size());
    canvas.render(&image, QPoint(0, kBelow));
    return image;
}

// Counts the canvas's paints.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

class LyricCanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.Install(Song(150));
        canvas.resize(257, 160);
    }

    void ExpectAsReference(const LyricFrame& frame, const char* what) {
        canvas.Show(frame);
        const QImage shown = Rendered(canvas), expected = Reference(table, canvas.font(), canvas.size(), frame);
        ASSERT_EQ(shown, expected) << what << ": top " << frame.top << ", line " << frame.highlight << " lit";
    }

    LyricTable table;
    LyricCanvas canvas{nullptr, table};
};

}  // namespace

TEST_F(LyricCanvasTest, ShowsWhatPrintingEveryLineShowsWhileTheBlockScrollsSeeksAndChangesItsLitLine) {
    const double pitch = canvas.LineHeight();
    ASSERT_GT(pitch, 0);
    // Rising through the whole lyric in uneven steps that land anywhere within a pixel, the lit line following.
    for (double top = 90; top > -150 * pitch - 40; top -= 2.37) {
        const int lit = std::clamp(static_cast<int>((80 - top) / pitch), -1, 149);
        ExpectAsReference(Frame(top, lit), "rising");
    }
    // Tops near the middle of a pixel, where a printed row changes.
    for (double row : {40.0, -3.0, -700.0})
        for (double delta : {-1.0 / 64, -1.0 / 128, -1.0 / 256, 0.0, 1.0 / 256, 1.0 / 128, 1.0 / 64})
            ExpectAsReference(Frame(row + 0.5 + delta, 5), "half a pixel");
    // A seek: the block jumps down and up again, the lit line with it or not.
    ExpectAsReference(Frame(-300.25, 20), "after a rise");
    ExpectAsReference(Frame(-40.6, 20), "down by many lines");
    ExpectAsReference(Frame(-41.6, 3), "lit line back");
    ExpectAsReference(Frame(-1900.3, 3), "far up, the lit line out of view");
    ExpectAsReference(Frame(-1900.3, -1), "nothing lit");
    ExpectAsReference(Frame(-1901.3, 149), "the last line lit");
    // The block far away on either side leaves the canvas black.
    ExpectAsReference(Frame(5000, 2), "below the canvas");
    ExpectAsReference(Frame(-1e7, 2), "above the canvas");
}

TEST_F(LyricCanvasTest, RisingByAPixelCopiesThePictureAndPrintsNothing) {
    ExpectAsReference(Frame(50, 0), "first");
    const qint64 printed = canvas.Band().Picture().cacheKey();
    ASSERT_FALSE(canvas.Band().Picture().isNull());
    for (int step = 1; step <= 40; ++step) ExpectAsReference(Frame(50 - step * 0.7, 0), "rising");
    EXPECT_EQ(canvas.Band().Picture().cacheKey(), printed) << "text was printed again while only the block moved";
    // Another lit line prints the rows of the two lines again, not the whole picture.
    const std::int64_t start = canvas.Band().Start();
    ExpectAsReference(Frame(20.2, 1), "next line lit");
    EXPECT_NE(canvas.Band().Picture().cacheKey(), printed);
    EXPECT_EQ(canvas.Band().Start(), start);
}

TEST_F(LyricCanvasTest, RepaintsOnlyWhenTheFrameChangesAPixel) {
    canvas.show();
    Settle();
    PaintCounter counter(canvas);
    canvas.Show(Frame(30.1, 2));
    Settle();
    EXPECT_EQ(counter.paints, 1);
    canvas.Show(Frame(30.1, 2));
    canvas.Show(Frame(30.3, 2));  // the same printed row
    canvas.Show(Frame(29.6, 2));
    Settle();
    EXPECT_EQ(counter.paints, 1);
    canvas.Show(Frame(29.4, 2));  // one row up
    Settle();
    EXPECT_EQ(counter.paints, 2);
    canvas.Show(Frame(29.4, 3));  // another lit line
    Settle();
    EXPECT_EQ(counter.paints, 3);
    LyricFrame blank;
    blank.clear = true;
    canvas.Show(blank);
    canvas.Show(blank);
    Settle();
    EXPECT_EQ(counter.paints, 4);
    EXPECT_EQ(Rendered(canvas), Reference(table, canvas.font(), canvas.size(), blank));
}

TEST_F(LyricCanvasTest, EveryInstallIsANewLyricEvenOfTheSameLines) {
    canvas.show();
    Settle();
    const LyricFrame frame = Frame(12.5, 4);
    ExpectAsReference(frame, "first lyric");
    const std::uint64_t first = canvas.Layout().Generation();
    PaintCounter counter(canvas);

    // The same track started over installs the same lines again: the canvas lays them out afresh and repaints.
    table.Install(Song(150));
    canvas.Show(frame);
    Settle();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_NE(canvas.Layout().Generation(), first);
    EXPECT_EQ(canvas.Layout().Generation(), table.generation);

    // Other lines of the same count and times, shown in the very same frame.
    std::vector<LyricLine> other = Song(150);
    for (auto& line : other) line.Text = u"另一首歌 another song " + line.Text.substr(0, 3);
    table.Install(other);
    ExpectAsReference(frame, "another lyric in the same frame");
    table.Install(Song(3));
    ExpectAsReference(Frame(60, 1), "a shorter lyric");
}

TEST_F(LyricCanvasTest, FollowsTheCanvasSizeAndFont) {
    ExpectAsReference(Frame(-200.3, 14), "before");
    canvas.resize(400, 160);
    ExpectAsReference(Frame(-200.3, 14), "wider");
    canvas.resize(180, 600);
    ExpectAsReference(Frame(-200.3, 14), "narrower and taller");
    canvas.resize(180, 90);
    ExpectAsReference(Frame(-210.3, 15), "lower");
    QFont larger = canvas.font();
    larger.setPixelSize(22);
    canvas.setFont(larger);
    EXPECT_EQ(canvas.LineHeight(), QFontMetrics(larger).lineSpacing());
    ExpectAsReference(Frame(-210.3, 15), "a larger font");
}

TEST_F(LyricCanvasTest, EmptyLyricsEmptyCanvasesAndHugeLinesAreHarmless) {
    table.Install({});
    LyricFrame blank;
    blank.clear = true;
    ExpectAsReference(blank, "no lyric");
    ExpectAsReference(Frame(10, 0), "a frame with no lines to print");

    table.Install({{1, u"x"}, {2, u""}, {3, std::u16string(20000, u'字') + u" and a long tail"}});
    ExpectAsReference(Frame(40.5, 2), "a huge line");
    for (QSize size : {QSize(0, 0), QSize(257, 0), QSize(0, 160), QSize(1, 1)}) {
        canvas.resize(size);
        canvas.Show(Frame(3.3, 1));
        EXPECT_NO_FATAL_FAILURE(Rendered(canvas));
    }
    // Tops no drawing could reach leave the canvas black.
    canvas.resize(257, 160);
    for (float top : {std::numeric_limits<float>::max(), -std::numeric_limits<float>::max()}) {
        canvas.Show(Frame(top, 1));
        EXPECT_EQ(Rendered(canvas), Reference(table, canvas.font(), canvas.size(), blank)) << top;
    }
}
