// The copy of the list that a thread other than the window thread writes when the window thread cannot answer an
// end signal: when it is refreshed, and what writing it does for each kind of list.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "media/playlist/ListSnapshot.h"

using namespace media;
using namespace std::chrono_literals;

namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ListSnapshotKeeper, CopiesAtOnceThenWhenChangesRestOrHaveGoneOnLongEnough) {
    ListSnapshot snapshot;
    std::uint64_t changes = 0;
    int copies = 0;
    ListSnapshotKeeper keeper(
        snapshot, [&] { return changes; },
        [&] {
            ++copies;
            return ListCopy{};
        });
    EXPECT_EQ(copies, 1) << "the list read at start is kept at once";
    const auto start = ListSnapshotKeeper::Clock::now();
    keeper.Look(start + 1s);
    EXPECT_EQ(copies, 1) << "nothing changed";

    ++changes;
    keeper.Look(start + 2s);
    keeper.Look(start + 2s + 250ms);
    EXPECT_EQ(copies, 1) << "the change has not rested yet";
    keeper.Look(start + 2s + 500ms);
    EXPECT_EQ(copies, 2);

    // A long add: a row every look. One copy after the longest wait, not one a row.
    auto now = start + 10s;
    for (int look = 0; look < 14; ++look, now += 250ms) {
        ++changes;
        keeper.Look(now);
    }
    EXPECT_EQ(copies, 3);
    keeper.Look(now + 500ms);
    EXPECT_EQ(copies, 4) << "the end of the add is kept once it rests";
}

class StrandedWrite : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const QString& name) const { return dir.filePath(name); }
    ListCopy Named(const QString& name, bool mayWriteBack = true) const {
        ListCopy copy;
        copy.file = Path(name).toStdU16String();
        copy.content = "\"one\",\"\",\"00:01\",\"/m/1.mp3\"\r\n";
        copy.hasRows = true;
        copy.mayWriteBack = mayWriteBack;
        copy.seen = {true, StampOf(Path(name).toStdString())};
        return copy;
    }
    void Write(const QString& name, const QByteArray& bytes) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QTemporaryDir dir;
    ListSnapshot snapshot;
};

TEST_F(StrandedWrite, ANamedListIsWrittenOnceAndOnlyWhenItMayBe) {
    snapshot.Store(Named("kept.lst"));
    EXPECT_TRUE(snapshot.WriteStranded());
    EXPECT_EQ(Read(Path("kept.lst")), "\"one\",\"\",\"00:01\",\"/m/1.mp3\"\r\n");
    QFile::remove(Path("kept.lst"));
    EXPECT_FALSE(snapshot.WriteStranded()) << "a second signal writes nothing again";
    EXPECT_FALSE(QFile::exists(Path("kept.lst")));

    ListSnapshot damaged;
    Write("damaged.lst", "\"half");
    damaged.Store(Named("damaged.lst", false));
    EXPECT_FALSE(damaged.WriteStranded()) << "a list not read whole keeps its file";
    EXPECT_EQ(Read(Path("damaged.lst")), "\"half");

    ListSnapshot retired;
    retired.Store(Named("retired.lst"));
    retired.Retire();
    EXPECT_FALSE(retired.WriteStranded()) << "the ending saved it itself";
    EXPECT_FALSE(QFile::exists(Path("retired.lst")));
}

TEST_F(StrandedWrite, AHandEditSinceTheLastLookIsKeptBeside) {
    Write("edited.lst", "ours");
    const ListCopy copy = Named("edited.lst");
    Write("edited.lst", "theirs, longer");
    snapshot.Store(copy);
    EXPECT_TRUE(snapshot.WriteStranded());
    EXPECT_EQ(Read(Path("edited.lst.orig")), "theirs, longer");
    EXPECT_EQ(Read(Path("edited.lst")), QByteArray::fromStdString(copy.content));
}

TEST_F(StrandedWrite, AListWithoutANameGoesToANewFileUnlessItIsEmpty) {
    ListCopy copy = Named("unused.lst");
    copy.file.clear();
    copy.unnamedFolder = dir.path().toStdU16String();
    copy.hasRows = false;
    snapshot.Store(copy);
    EXPECT_FALSE(snapshot.WriteStranded());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    ListSnapshot withRows;
    copy.hasRows = true;
    withRows.Store(copy);
    EXPECT_TRUE(withRows.WriteStranded());
    const QStringList kept = QDir(dir.path()).entryList({QStringLiteral("未命名播放列表-*.lst")}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(Read(dir.filePath(kept[0])), QByteArray::fromStdString(copy.content));
}

}  // namespace
