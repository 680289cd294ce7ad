#include "ui/tarnwick_window.h"

#include "ui/window_help.h"
#include "ui/window_session.h"

#include <QApplication>

#include <cstdio>

namespace tarnwick {

int runWindow(int argc, char* argv[])
{
    if (const std::optional<QString> text = informationRequest(argc, argv)) {
        std::fputs(text->toUtf8().constData(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarnwick"));
    WindowSession session;
    session.show();
    return app.exec();
}

} // namespace tarnwick
