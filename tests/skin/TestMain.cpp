#include <QGuiApplication>

#include <gtest/gtest.h>

// Reading GIF pictures goes through Qt's image plugins, and painting text needs fonts: both want
// an application object. No window is opened, so no display is needed (test discovery runs
// without the test environment).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
