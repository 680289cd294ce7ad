#pragma once

#include "support/loaded_form.h"
#include "ui/main_window.h"

#include <QApplication>

namespace tarnwick::test {

/// The main window over a loaded Form1, shown and laid out.
struct ShownWindow : LoadedForm {
    ShownWindow()
        : window(f, p)
    {
        window.show();
        QApplication::processEvents();
    }
    /// Where `control` lies in the window's client area.
    QRect rectOf(const Control& control) const
    {
        const QWidget* w = window.widgetFor(control);
        return QRect(w->mapTo(window.client(), QPoint(0, 0)), w->size());
    }
    template <typename W = QWidget> W* widget(const Control& control) const
    {
        return qobject_cast<W*>(window.widgetFor(control));
    }
    void trigger(const MenuItem& item) { window.action(item)->trigger(); }
    MainWindow window;
};

} // namespace tarnwick::test
