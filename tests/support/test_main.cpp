#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Handlers pump the Qt event loop, so every test binary has a core application.
int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale::c());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
