#include <QCoreApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Handlers pump the Qt event loop, so every test binary has a core application.
int main(int argc, char** argv)
{
    // Run journals go to a folder of this test run, never to the user's own state folder.
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    QLocale::setDefault(QLocale::c());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
