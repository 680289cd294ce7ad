#include "cli/commands.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    return tarnwick::runCli(QCoreApplication::arguments().mid(1));
}
