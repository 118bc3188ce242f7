// An end signal while the window thread is blocked in code that never returns: what must not be lost is saved on
// another thread and the process ends by the signal; an answered signal leaves the ending to the program.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "platform/forms/ProgramEnd.h"

namespace {

using namespace std::chrono_literals;

// The child runs this program again from its start, with a folder of its own: the parent names the marker file
// through the environment.
QString MarkerPath() { return qEnvironmentVariable("END_SIGNALS_MARKER"); }

void Mark() {
    QFile file(MarkerPath());
    if (file.open(QIODevice::WriteOnly)) file.write("saved");
}

class EndSignals : public ::testing::Test {
protected:
    void SetUp() override {
        // No thread of the parent's is copied half-way into the child.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        // The child sets up the test again: it keeps the parent's marker.
        if (MarkerPath().isEmpty()) qputenv("END_SIGNALS_MARKER", QFile::encodeName(dir.filePath("stranded")));
        marker = MarkerPath();
    }
    void TearDown() override { qunsetenv("END_SIGNALS_MARKER"); }
    QTemporaryDir dir;
    QString marker;
};

TEST_F(EndSignals, AWindowThreadThatNeverAnswersHasTheSaveDoneElsewhere) {
    EXPECT_EXIT(
        {
            forms::OnEndSignals([] {}, [] { Mark(); }, 300ms);
            std::raise(SIGTERM);
            std::this_thread::sleep_for(20s);  // the window thread is held: the signal's turn never comes
            std::_Exit(3);
        },
        ::testing::KilledBySignal(SIGTERM), "");
    EXPECT_TRUE(QFile::exists(marker));
}

TEST_F(EndSignals, AnAnsweredSignalLeavesTheEndingToTheProgram) {
    EXPECT_EXIT(
        {
            forms::OnEndSignals([] {}, [] { Mark(); }, 300ms);
            std::raise(SIGHUP);
            QTimer::singleShot(1000, [] { std::_Exit(QFile::exists(MarkerPath()) ? 1 : 0); });
            QCoreApplication::exec();
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(QFile::exists(marker));
}

}  // namespace
