#include "ui/tarnwick_window.h"

#include "spider/run_resume.h"
#include "ui/window_session.h"

#include <QApplication>
#include <QTimer>

namespace tarnwick {

int runWindow(int argc, char* argv[])
{
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
