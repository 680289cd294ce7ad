#include "ui/tarnwick_window.h"

#include "app/form1.h"
#include "app/startup.h"
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"

#include <QApplication>
#include <QScreen>

#include <memory>

namespace tarnwick {

int runWindow(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarnwick"));

    QtPlatform platform;
    Form1 form(std::make_unique<QtTransferControl>());
    Form_Load(form);
    attachResponseHandler(form, platform);

    MainWindow window(form, platform);
    platform.attach(&window, [&window] { window.sync(); });
    window.adjustSize();
    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    return app.exec();
}

} // namespace tarnwick
