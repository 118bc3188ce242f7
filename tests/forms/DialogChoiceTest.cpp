// The folder and open-file dialogs as the user meets them: Qt's own dialog, driven from inside its event loop by
// going into folders, typing, dropping text onto the name box, clicking and picking, and the result texts the
// callers get from it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "platform/forms/CommonDialogs.h"

// Readable texts in failure messages, a NUL shown as "|".
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << QString(text).replace(QChar(u'\0'), QLatin1Char('|')).toStdString() << '"';
}

namespace {

const QChar kNul(u'\0');

QLineEdit* NameBox(QFileDialog& dialog) { return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); }

// The list or the detail view, whichever the dialog shows (it keeps the user's last choice).
QAbstractItemView* ShownView(QFileDialog& dialog) {
    auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (details && details->isVisible()) return details;
    return dialog.findChild<QListView*>(QStringLiteral("listView"));
}

// Rows arrive from the file system model's own thread: waited for, never slept for.
QModelIndex RowOf(QFileDialog& dialog, const QString& name) {
    QAbstractItemView* view = ShownView(dialog);
    QModelIndex found;
    (void)QTest::qWaitFor([&] {
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()) && !found.isValid(); ++row) {
            const QModelIndex index = view->model()->index(row, 0, view->rootIndex());
            if (index.data().toString() == name) found = index;
        }
        return found.isValid();
    });
    return found;
}

void ClickRow(QFileDialog& dialog, const QString& name, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QAbstractItemView* view = ShownView(dialog);
    const QModelIndex row = RowOf(dialog, name);
    ASSERT_TRUE(row.isValid()) << "no row " << name.toStdString();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, view->visualRect(row).center());
}

// As the user goes into a folder of the list: a click selects its row, a double click opens it.
void EnterFolder(QFileDialog& dialog, const QString& name) {
    const QString path = dialog.directory().absoluteFilePath(name);
    ClickRow(dialog, name);
    QTest::qWait(QApplication::doubleClickInterval() + 1);  // two single clicks, then a double click
    QAbstractItemView* view = ShownView(dialog);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                       view->visualRect(RowOf(dialog, name)).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.directory().absolutePath() == path; }))
        << "not entered: " << name.toStdString();
}

// As the user types: a click into the name box, then the keys.
void TypeIntoNameBox(QFileDialog& dialog, const QString& text) {
    QTest::mouseClick(NameBox(dialog), Qt::LeftButton);
    ASSERT_TRUE(NameBox(dialog)->hasFocus());
    QTest::keyClicks(NameBox(dialog), text);
}

// Text dragged from another window (a terminal, a file manager's location bar) onto the name box; the focus stays
// where it was.
void DropOntoNameBox(QFileDialog& dialog, const QString& text) {
    QLineEdit* box = NameBox(dialog);
    QMimeData data;
    data.setText(text);
    const QPoint at = box->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &drop);
    ASSERT_TRUE(drop.isAccepted());
}

void PressChoose(QFileDialog& dialog) {
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QPushButton* choose = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
    ASSERT_NE(choose, nullptr);
    QTest::mouseClick(choose, Qt::LeftButton);
}

void PressReturn(QFileDialog& dialog) { QTest::keyClick(NameBox(dialog), Qt::Key_Return); }

// Drives the real dialog that the next Browse call opens, from inside its event loop: once it shows `folder`,
// `steps` run; a dialog still open afterwards is cancelled, so a refused choice ends the call with empty text
// instead of leaving the test waiting. Qt's own warnings (a name not found) are closed and kept.
class DialogDriver {
public:
    using Steps = std::function<void(QFileDialog&)>;

    DialogDriver(QString folder, Steps steps) {
        QTimer::singleShot(0, [this, folder, steps] {
            QFileDialog* dialog = nullptr;
            (void)QTest::qWaitFor(
                [&] { return (dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())); });
            if (dialog == nullptr) return;
            QTimer warningCloser;
            QObject::connect(&warningCloser, &QTimer::timeout, [this] {
                for (QWidget* window : QApplication::topLevelWidgets())
                    if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) {
                        warnings << box->text();
                        box->reject();
                    }
            });
            warningCloser.start(20);
            dialog->activateWindow();
            if (QTest::qWaitForWindowActive(dialog)) {
                dialog->setDirectory(folder);
                QAbstractItemView* view = ShownView(*dialog);
                (void)QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; });
                steps(*dialog);
            }
            if (dialog->isVisible()) {
                stayedOpen = true;
                dialog->reject();
            }
        });
    }

    bool stayedOpen = false;
    QStringList warnings;
};

class DialogChoice : public ::testing::Test {
protected:
    // The dialog keeps the user's folders and view in Qt's settings file; the tests keep theirs apart.
    static void SetUpTestSuite() { QStandardPaths::setTestModeEnabled(true); }

    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        forms::SetDialogHook({});
        QDir root(dir_.path());
        ASSERT_TRUE(root.mkpath(QStringLiteral("shown/inner/deeper")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("shown/other")));
    }

    QString Path(const QString& relative) const { return dir_.filePath(relative); }

    void MakeFiles(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            QFile file(Path(QStringLiteral("shown/") + QString::fromUtf8(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name;
        }
    }

    // The folder dialog, opened on the temporary folder; the user goes into "shown" and then does `steps`.
    QString ChooseFolderInsideShown(const DialogDriver::Steps& steps) {
        DialogDriver driver(dir_.path(), [&](QFileDialog& dialog) {
            EnterFolder(dialog, QStringLiteral("shown"));
            steps(dialog);
        });
        const QString result = forms::BrowseForFolder(nullptr, QStringLiteral("请选择文件夹"));
        EXPECT_FALSE(driver.stayedOpen) << "the dialog refused the choice";
        EXPECT_TRUE(driver.warnings.isEmpty()) << driver.warnings.join(QStringLiteral("; ")).toStdString();
        return result;
    }

    // The add-files dialog (several files), opened on "shown".
    QString ChooseFiles(const DialogDriver::Steps& steps, std::int16_t multiSelect = 1) {
        DialogDriver driver(Path(QStringLiteral("shown")), steps);
        const QString result =
            forms::BrowseForFiles(nullptr, QStringLiteral("选择要播放的音频文件"), QStringLiteral("所有音频格式"),
                                  QStringLiteral("*.mp3;*.wma"), multiSelect, 65535);
        EXPECT_FALSE(driver.stayedOpen) << "the dialog did not take the files";
        return result;
    }

private:
    QTemporaryDir dir_;
};

TEST_F(DialogChoice, TheFolderDialogAnswersTheFolderTypedOrPicked) {
    const QString inner = Path(QStringLiteral("shown/inner"));
    {
        SCOPED_TRACE("full path typed, Return");
        EXPECT_EQ(ChooseFolderInsideShown([&](QFileDialog& d) {
                      TypeIntoNameBox(d, inner);
                      PressReturn(d);
                  }),
                  inner);
    }
    {
        SCOPED_TRACE("deeper path typed, Choose");
        EXPECT_EQ(ChooseFolderInsideShown([&](QFileDialog& d) {
                      TypeIntoNameBox(d, inner + QStringLiteral("/deeper"));
                      PressChoose(d);
                  }),
                  inner + QStringLiteral("/deeper"));
    }
    {
        SCOPED_TRACE("name typed, Choose");
        EXPECT_EQ(ChooseFolderInsideShown([&](QFileDialog& d) {
                      TypeIntoNameBox(d, QStringLiteral("other"));
                      PressChoose(d);
                  }),
                  Path(QStringLiteral("shown/other")));
    }
    {
        SCOPED_TRACE("picked in the list, Choose");
        EXPECT_EQ(ChooseFolderInsideShown([&](QFileDialog& d) {
                      ClickRow(d, QStringLiteral("inner"));
                      PressChoose(d);
                  }),
                  inner);
    }
    {
        SCOPED_TRACE("nothing typed or picked, Choose");
        EXPECT_EQ(ChooseFolderInsideShown([&](QFileDialog& d) { PressChoose(d); }), Path(QStringLiteral("shown")));
    }
}

// Going into a folder leaves that folder selected behind the list; a path that then reaches the name box while the
// list keeps the focus (dropped onto it) made the dialog answer the folder shown, and the whole of it was added.
TEST_F(DialogChoice, AFolderPathDroppedOntoTheNameBoxIsTheAnswerNotTheFolderShown) {
    const QString inner = Path(QStringLiteral("shown/inner"));
    EXPECT_EQ(ChooseFolderInsideShown([&](QFileDialog& d) {
                  DropOntoNameBox(d, inner);
                  PressChoose(d);
              }),
              inner);
    EXPECT_EQ(ChooseFolderInsideShown([&](QFileDialog& d) {
                  DropOntoNameBox(d, inner + QStringLiteral("/deeper"));
                  PressChoose(d);
              }),
              inner + QStringLiteral("/deeper"));
}

TEST_F(DialogChoice, AFolderThatDoesNotExistIsRefusedWithQtsWarning) {
    DialogDriver driver(Path(QStringLiteral("shown")), [](QFileDialog& d) {
        TypeIntoNameBox(d, QStringLiteral("missing"));
        PressReturn(d);
    });
    EXPECT_TRUE(forms::BrowseForFolder(nullptr, QStringLiteral("请选择文件夹")).isEmpty());
    EXPECT_TRUE(driver.stayedOpen);
    EXPECT_EQ(driver.warnings.size(), 1);
}

// Picked files travel through the name box as "x" "y"; a quote in a name split that list so that it named the
// folder shown, and the dialog opened that folder instead of taking the files.
TEST_F(DialogChoice, SeveralPickedFilesComeBackWithTheirNamesIntactEvenWithAQuote) {
    MakeFiles({"x.mp3", "a\"b.mp3", "c.mp3", "notes.txt"});
    const QString folder = Path(QStringLiteral("shown"));
    {
        SCOPED_TRACE("picked through the list's selection");
        EXPECT_EQ(ChooseFiles([](QFileDialog& d) {
                      QAbstractItemView* view = ShownView(d);
                      view->setFocus();  // where the user's clicks leave it
                      for (const char* name : {"a\"b.mp3", "x.mp3"})
                          view->selectionModel()->select(RowOf(d, QString::fromUtf8(name)),
                                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
                      PressChoose(d);
                  }),
                  folder + kNul + "a\"b.mp3" + kNul + "x.mp3" + kNul + kNul);
    }
    {
        SCOPED_TRACE("clicked, then Ctrl+clicked");
        EXPECT_EQ(ChooseFiles([](QFileDialog& d) {
                      ClickRow(d, QStringLiteral("c.mp3"));
                      ClickRow(d, QStringLiteral("a\"b.mp3"), Qt::ControlModifier);
                      PressChoose(d);
                  }),
                  folder + kNul + "c.mp3" + kNul + "a\"b.mp3" + kNul + kNul);
    }
}

TEST_F(DialogChoice, FilesTypedOrPickedAloneComeBackAsBefore) {
    MakeFiles({"x.mp3", "a\"b.mp3", "c d.mp3"});
    const QString folder = Path(QStringLiteral("shown"));
    {
        SCOPED_TRACE("two names typed");
        EXPECT_EQ(ChooseFiles([](QFileDialog& d) {
                      TypeIntoNameBox(d, QStringLiteral("\"x.mp3\" \"c d.mp3\""));
                      PressReturn(d);
                  }),
                  folder + kNul + "x.mp3" + kNul + "c d.mp3" + kNul + kNul);
    }
    {
        SCOPED_TRACE("one file with a quote, single selection");
        EXPECT_EQ(ChooseFiles(
                      [](QFileDialog& d) {
                          ClickRow(d, QStringLiteral("a\"b.mp3"));
                          PressChoose(d);
                      },
                      0),
                  folder + "/a\"b.mp3");
    }
}

}  // namespace
