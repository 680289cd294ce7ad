#pragma once

#include "ui/control_binding.h"
#include "ui/twips.h"

#include <QHash>
#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QLineEdit;
class QListView;

namespace tarnwick {

class CommandButton;
class Form1;
class Label;
class MenuItem;
class Platform;
class StatusStrip;

/// The one window: shows Form1 and turns the user's actions into handler calls. It holds no
/// state of its own beyond the widgets; after every handler and at every pump of a long run
/// it redraws what changed (sync). It opens at the size its twips give and grows from there:
/// the columns keep their shares of the width, and the lists and panes take the height.
/// Keyword, URL, spider data and template files dropped on it open as their Open commands
/// open them.
class MainWindow : public QMainWindow {
public:
    MainWindow(Form1& form, Platform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Redraws every control whose state changed, the caption and the focus.
    void sync();
    /// The menu action that stands for a menu item of Form1 (tests drive menus through it).
    QAction* action(const MenuItem& item) const { return actions_.value(&item); }
    /// The widget that shows a control, or null for hidden working state.
    QWidget* widgetFor(const Control& control) const { return widgets_.value(&control); }

protected:
    /// Only Quit closes the window: a close request from the title bar or the window manager
    /// is refused while the program runs.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    /// Runs a handler the user started, then redraws (unless the handler ended the program).
    void run(const std::function<void()>& handler);

    void buildMenus();
    /// The Sources menu, after Stop: the keyword and result sources as checkable entries.
    void buildSourcesMenu();
    void buildKeywordPanel(QWidget* parent);
    void buildUrlPanel(QWidget* parent);
    void buildSpiderPanel(QWidget* parent);
    void buildPageManagerPanel(QWidget* parent);
    void buildTemplatePanel(QWidget* parent);
    void buildDisclaimerPanel(QWidget* parent);

    /// A panel with a caption on the central widget, bound to its frame; placePanels sets
    /// where it goes.
    QGroupBox* placeFrame(const Control& frame, const QString& caption, QWidget* parent);
    /// Makes the twips large enough for every column's controls.
    void growToFit();
    /// Places the panels on a central widget of `client` size, from their twips.
    void placePanels(const QSize& client);
    /// Takes a drag or drop that brings files an Open command takes; false for anything else.
    bool takeDroppedFiles(QEvent* event);
    QLabel* label(Label& control, QWidget* parent);
    /// A button whose click runs `handler` as a user action.
    QPushButton* button(const CommandButton& control, QWidget* parent, void (*handler)(Form1&, Platform&));
    /// A caption and the count beside it, on one row.
    QHBoxLayout* countRow(Label& caption, Label& count, QWidget* parent);

    /// Remembers which widget shows a control, for focus and for tests.
    template <typename W> W* shows(const Control& control, W* widget)
    {
        widgets_.insert(&control, widget);
        widget->setObjectName(QString::fromLatin1(control.name()));
        return widget;
    }

    Form1& form_;
    Platform& platform_;
    Twips twips_;
    ControlBindings bindings_;
    QHash<const Control*, QWidget*> widgets_;
    QHash<const MenuItem*, QAction*> actions_;
    QLineEdit* seedBox_ = nullptr;
    QWidget* client_ = nullptr;
    std::unique_ptr<StatusStrip> status_;
    std::uint64_t shownFormRevision_ = ~std::uint64_t { 0 };
};

} // namespace tarnwick
