#include "ui/window_session.h"

#include "app/startup.h"
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"

#include <QScreen>

#include <memory>

namespace tarnwick {

namespace {

// Start-up runs before the window is built, so the window's first drawing already shows it.
Form1& loaded(Form1& form)
{
    Form_Load(form);
    return form;
}

} // namespace

WindowSession::WindowSession()
    : form(std::make_unique<QtTransferControl>())
    , window(loaded(form), platform)
{
    attachResponseHandler(form, platform);
    platform.attach(&window, [this] { window.sync(); });
}

void WindowSession::show()
{
    window.adjustSize();
    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
}

} // namespace tarnwick
