#include "ui/window_session.h"

#include "app/startup.h"
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"

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
    window.fitToScreen();
    window.show();
}

} // namespace tarnwick
