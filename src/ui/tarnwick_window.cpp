#include "ui/tarnwick_window.h"

#include "spider/run_resume.h"
#include "ui/window_help.h"
#include "ui/window_session.h"

#include <QApplication>
#include <QTimer>

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
    // Asked once the window is up, so a resumed run shows in it and its events run.
    QTimer::singleShot(
        0, &session.window, [&session] { offerInterruptedRun(session.form, session.platform); });
    return app.exec();
}

} // namespace tarnwick
