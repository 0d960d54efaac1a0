// Shared main of the test executables: a QApplication on the offscreen platform,
// so model and form tests run headless in one process.
#include <QApplication>
#include <QStandardPaths>
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // What the program keeps in the user's configuration stays out of the tester's own.
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
