#pragma once

#include "app/form1.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"

namespace tarnwick {

/// Everything one run of the window needs, wired as the program runs it: the state with a
/// real transfer control, start-up done, the Qt platform and the window that shows the state.
/// Needs a QApplication.
class WindowSession {
public:
    WindowSession();

    /// Shows the window centred on its screen, inside its available area.
    void show();

    QtPlatform platform;
    Form1 form;
    MainWindow window;
};

} // namespace tarnwick
