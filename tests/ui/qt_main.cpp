// GoogleTest main for widget tests: one QApplication for the whole run, on the
// offscreen platform unless the caller chose another.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

// Qt and fontconfig keep caches alive until exit, which LeakSanitizer would
// report; leaks are checked in the core tests, which own all their memory.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // Each window keeps a recovery copy of unsaved work in the user's state
    // folder: the tests keep theirs in a folder of their own.
    const QTemporaryDir state;
    setenv("XDG_STATE_HOME", state.path().toLocal8Bit().constData(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
