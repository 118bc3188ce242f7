// The committed DA10 pictures: every file the windows load is there, readable, of the size its
// control has, in the format its name promises, and drawn so that it fits where it is shown.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRect>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

namespace {

const QString kSkin = QStringLiteral(SKIN_SOURCE_DIR);

// Sizes in pixels of the controls each picture is shown in (twips / 15, rounded).
const std::map<std::string, QSize>& ExpectedSizes() {
    static const std::map<std::string, QSize> kSizes = [] {
        std::map<std::string, QSize> table{
            {"player_skin.bmp", {270, 168}}, {"play_pro.bmp", {260, 10}},  {"play_none.bmp", {260, 10}},
            {"playpro_n.gif", {20, 10}},     {"playpro_d.gif", {20, 10}},  {"volume_n.bmp", {12, 13}},
            {"volume_d.bmp", {12, 13}},      {"volume_pro.bmp", {71, 14}}, {"volume_none.bmp", {71, 14}},
            {"window_n.bmp", {26, 26}},      {"window_m.bmp", {26, 26}},
        };
        for (const char* name : {"play_n", "play_m", "pause_n", "pause_m"})
            table[std::string(name) + ".bmp"] = {30, 30};
        for (const char* stem : {"stop", "prev", "next"})
            for (const char* state : {"_n", "_m", "_s"}) table[std::string(stem) + state + ".bmp"] = {22, 22};
        for (const char* state : {"_n", "_m", "_d"}) {
            table[std::string("mute") + state + ".bmp"] = {22, 22};
            table[std::string("lrc") + state + ".bmp"] = {30, 19};
            table[std::string("voduz") + state + ".bmp"] = {30, 19};
            table[std::string("list") + state + ".bmp"] = {30, 19};
            table[std::string("top") + state + ".bmp"] = {18, 19};
        }
        for (const char* stem : {"min", "max", "close"})
            for (const char* state : {"_n", "_m", "_d", "_u"}) table[std::string(stem) + state + ".bmp"] = {17, 19};
        return table;
    }();
    return kSizes;
}

QImage Load(const std::string& name) {
    QImageReader reader(QDir(kSkin).filePath(QString::fromStdString(name)));
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

// Colours may differ by a trace where antialiased art comes close to the edge.
bool CloseTo(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 6 && std::abs(qGreen(a) - qGreen(b)) <= 6 &&
           std::abs(qBlue(a) - qBlue(b)) <= 6;
}

// The four corner pixels of a picture against the backdrop at the place it is shown.
void ExpectCornersMatch(const std::string& name, const QImage& backdrop, QPoint place, int visibleHeight = 0) {
    const QImage picture = Load(name);
    ASSERT_FALSE(picture.isNull()) << name;
    const int bottom = (visibleHeight > 0 ? visibleHeight : picture.height()) - 1;
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(picture.width() - 1, 0), QPoint(0, bottom), QPoint(picture.width() - 1, bottom)})
        EXPECT_TRUE(CloseTo(picture.pixel(corner), backdrop.pixel(place + corner)))
            << name << " corner " << corner.x() << "," << corner.y() << " does not blend into the backdrop";
}

TEST(ShippedSkin, EveryPictureLoadsWithTheSizeOfItsControl) {
    for (const auto& [name, size] : ExpectedSizes()) {
        const QImage picture = Load(name);
        ASSERT_FALSE(picture.isNull()) << name << " is missing or unreadable";
        EXPECT_EQ(picture.size(), size) << name;
    }
}

TEST(ShippedSkin, HoldsNoStrayFiles) {
    const QStringList files = QDir(kSkin).entryList(QDir::Files);
    for (const QString& file : files)
        EXPECT_TRUE(ExpectedSizes().count(file.toStdString()) || file == QLatin1String("playlist_skin.bmp"))
            << file.toStdString();
    EXPECT_EQ(files.size(), qsizetype(ExpectedSizes().size() + 1));
}

TEST(ShippedSkin, BitmapsAre24BitAndNamesAreLowerCase) {
    for (const QString& file : QDir(kSkin).entryList({QStringLiteral("*.bmp")}, QDir::Files)) {
        EXPECT_EQ(file, file.toLower());
        QFile bitmap(QDir(kSkin).filePath(file));
        ASSERT_TRUE(bitmap.open(QIODevice::ReadOnly)) << file.toStdString();
        const QByteArray header = bitmap.read(30);
        ASSERT_EQ(header.size(), 30) << file.toStdString();
        EXPECT_TRUE(header.startsWith("BM")) << file.toStdString();
        const int bitsPerPixel = quint8(header[28]) | quint8(header[29]) << 8;
        EXPECT_EQ(bitsPerPixel, 24) << file.toStdString();
    }
}

TEST(ShippedSkin, SeekThumbsAreGifsWithATransparentSurround) {
    for (const char* name : {"playpro_n.gif", "playpro_d.gif"}) {
        QImageReader reader(QDir(kSkin).filePath(QLatin1String(name)));
        EXPECT_EQ(reader.format(), QByteArray("gif")) << name;
        const QImage thumb = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(thumb.isNull()) << name;
        EXPECT_TRUE(thumb.hasAlphaChannel()) << name;
        int transparent = 0, opaque = 0;
        for (int y = 0; y < thumb.height(); ++y)
            for (int x = 0; x < thumb.width(); ++x) (qAlpha(thumb.pixel(x, y)) == 0 ? transparent : opaque) += 1;
        EXPECT_GT(transparent, 0) << name;
        EXPECT_GT(opaque, thumb.width() * thumb.height() / 2) << name << ": the knob should fill most of the picture";
        EXPECT_EQ(qAlpha(thumb.pixel(0, 0)), 0) << name << ": the corners should show the bar below";
    }
}

// The fills are clipped from the left to any width, so apart from their rounded start every
// column must be the same: no end cap shows up in the middle of the bar. The empty strips are
// always shown whole and may round off both ends.
TEST(ShippedSkin, BarStripsRepeatAlongTheirLength) {
    const int firstRegular = 4;
    const std::pair<const char*, int> strips[] = {
        {"play_pro.bmp", 0}, {"volume_pro.bmp", 0}, {"play_none.bmp", firstRegular}, {"volume_none.bmp", firstRegular}};
    for (const auto& [name, roundedEnd] : strips) {
        const QImage strip = Load(name);
        ASSERT_FALSE(strip.isNull()) << name;
        for (int x = firstRegular + 1; x < strip.width() - roundedEnd; ++x)
            for (int y = 0; y < strip.height(); ++y)
                ASSERT_EQ(strip.pixel(x, y), strip.pixel(firstRegular, y)) << name << " column " << x << " row " << y;
    }
    // And the fill must be told apart from the empty bar.
    EXPECT_NE(Load("play_pro.bmp").pixel(100, 5), Load("play_none.bmp").pixel(100, 5));
}

TEST(ShippedSkin, MainWindowPicturesBlendIntoTheBackdropWhereTheyLie) {
    const QImage backdrop = Load("player_skin.bmp");
    ASSERT_FALSE(backdrop.isNull());
    // Left and top of each control, twips / 15 rounded.
    const std::pair<const char*, QPoint> places[] = {
        {"play", {10, 130}},  {"pause", {10, 130}}, {"stop", {43, 134}},    {"prev", {76, 134}},
        {"next", {100, 134}}, {"mute", {132, 134}}, {"window", {232, 132}}, {"lrc", {140, 4}},
        {"voduz", {175, 4}},  {"min", {213, 4}},    {"max", {231, 4}},      {"close", {249, 4}},
    };
    for (const auto& [stem, place] : places)
        for (const char* state : {"_n", "_m", "_d", "_u", "_s"}) {
            const std::string name = std::string(stem) + state + ".bmp";
            if (ExpectedSizes().count(name)) ExpectCornersMatch(name, backdrop, place);
        }
    // The strips lie in grooves of the backdrop.
    ExpectCornersMatch("play_none.bmp", backdrop, {5, 112});
    ExpectCornersMatch("volume_none.bmp", backdrop, {160, 136});
}

TEST(ShippedSkin, ToolWindowPicturesBlendIntoTheFrameTitleBar) {
    const QImage frame = Load("playlist_skin.bmp");
    ASSERT_FALSE(frame.isNull());
    const int right = frame.width();
    // The tool windows show the close picture 17 x 16 at 330 twips from their right edge, the
    // stay-on-top button at 700 twips, and the playlist's menu button at 840 twips.
    for (const char* state : {"_n", "_m", "_d"}) {
        ExpectCornersMatch(std::string("close") + state + ".bmp", frame, {right - 22, 4}, 16);
        ExpectCornersMatch(std::string("top") + state + ".bmp", frame, {right - 47, 4});
        ExpectCornersMatch(std::string("list") + state + ".bmp", frame, {right - 56, 4});
    }
}

// The frame is composed from pieces at fixed places (in twips): the title band (800 high), a
// side-edge sample just below it, corners of 450 x 800 at the left and 1665 x 435 / 525 at the
// right, and bottom pieces up to 800 high. They must all lie inside the bitmap, and the left
// corner, the middle sample and the right corner must not overlap.
TEST(ShippedSkin, ToolFrameBitmapHoldsEverySourcePiece) {
    const QImage frame = Load("playlist_skin.bmp");
    ASSERT_FALSE(frame.isNull());
    const int topBand = 53, edgeSample = 3, bottomLeftTallest = 53, rightCornerWidth = 111, middleSampleEnd = 36;
    EXPECT_GE(frame.width(), rightCornerWidth + middleSampleEnd);
    EXPECT_GE(frame.height(), topBand + edgeSample + bottomLeftTallest);

    // The side edges are stretched over the whole height: the sample rows must be alike.
    for (int y = topBand; y < topBand + edgeSample; ++y)
        for (int x : {0, 3, 6, frame.width() - 1, frame.width() - 4, frame.width() - 7})
            EXPECT_EQ(frame.pixel(x, y), frame.pixel(x, topBand)) << x << "," << y;
    // The middle pieces are stretched across: their columns must be alike.
    for (int x = 28; x < middleSampleEnd; ++x)
        for (int y : {0, 10, 20, 26, 40, frame.height() - 1, frame.height() - 4, frame.height() - 30})
            EXPECT_EQ(frame.pixel(x, y), frame.pixel(28, y)) << x << "," << y;
}

TEST(ShippedSkin, BuildPutsTheSameFilesBesideTheProgram) {
    const QDir beside(QStringLiteral(SKIN_BESIDE_PROGRAM_DIR));
    for (const QString& file : QDir(kSkin).entryList(QDir::Files)) {
        QFile source(QDir(kSkin).filePath(file)), copy(beside.filePath(file));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly)) << file.toStdString() << " was not copied beside the program";
        EXPECT_EQ(source.readAll(), copy.readAll()) << file.toStdString();
    }
}

}  // namespace
