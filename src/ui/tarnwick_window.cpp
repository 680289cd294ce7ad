#include "ui/tarnwick_window.h"

#include <QApplication>

namespace tarnwick {

int runWindow(int argc, char* argv[])
{
    QApplication app(argc, argv);
    return 0;
}

}  // namespace tarnwick
