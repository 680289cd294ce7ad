#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Widget tests need a widget application; CTest runs them with QT_QPA_PLATFORM=offscreen.
int main(int argc, char** argv)
{
    // Listing the tests at build time runs without CTest's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
