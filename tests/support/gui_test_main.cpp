#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Widget tests need a widget application; CTest runs them with QT_QPA_PLATFORM=offscreen.
int main(int argc, char** argv)
{
    // Listing the tests at build time runs without CTest's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Run journals go to a folder of this test run, never to the user's own state folder.
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
