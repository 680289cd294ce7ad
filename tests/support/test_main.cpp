#ifdef TARNWICK_WIDGET_TESTS
#include <QApplication>
#else
#include <QCoreApplication>
#endif
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Handlers pump Qt's event loop: a core application in each binary, a widget one (offscreen) in widget tests.
int main(int argc, char** argv)
{
#ifdef TARNWICK_WIDGET_TESTS
    // Listing the tests at build time runs without CTest's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    using Application = QApplication;
#else
    using Application = QCoreApplication;
#endif
    // Run journals go to a folder of this test run, never to the user's own state folder.
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    QLocale::setDefault(QLocale::c());
    Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
