#include "ui/tarnwick_window.h"

#include "ui/window_session.h"

#include <QApplication>

namespace tarnwick {

int runWindow(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarnwick"));
    WindowSession session;
    session.show();
    return app.exec();
}

} // namespace tarnwick
