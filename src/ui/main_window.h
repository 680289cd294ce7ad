#pragma once

#include "ui/control_binding.h"
#include "ui/twips.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

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
/// the columns keep their shares of the width, and the lists and panes take the height. On a
/// screen too small for that size (a high display scale) it opens as large as the screen
/// allows and the columns scroll, so no part of the window, menu bar included, is off screen.
/// Keyword, URL, spider data and template files dropped on it open as their Open commands
/// open them.
class MainWindow : public QMainWindow {
public:
    MainWindow(Form1& form, Platform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Redraws every control whose state changed, the caption and the focus.
    void sync();
    /// Opens at the layout's size, or as much of it as the screen's available area holds
    /// beside the window frame, inside that area; the minimum size is bounded the same way.
    void fitToScreen();
    /// The widget the panels are laid out on, inside the scrolling central widget.
    QWidget* client() const { return client_; }
    /// The menu action that stands for a menu item of Form1 (tests drive menus through it).
    QAction* action(const MenuItem& item) const { return actions_.value(&item); }
    /// The widget that shows a control, or null for hidden working state.
    QWidget* widgetFor(const Control& control) const { return widgets_.value(&control); }

protected:
    /// Only Quit closes the window: a close request from the title bar or the window manager
    /// is refused while the program runs.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
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
    /// Sizes the client area and places the panels for the screen's font and scale.
    void layOut(QWidget* client);
    /// Makes the twips large enough for every column's controls.
    void growToFit();
    static qreal logicalDpi(QWidget* widget);
    /// Controls that act only in some states: starting a long command while another runs,
    /// a box that the chosen source does not use.
    void bindEnabled(QWidget* widget, std::function<bool()> enabled);
    /// Tooltips that say what a control does where its caption cannot.
    void addToolTips();
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
    std::vector<std::pair<QWidget*, std::function<bool()>>> enabledWhen_;
    QPointer<QWidget> refocus_;
    /// The size the layout opens at, before the screen bounds it.
    QSize openingSize_;
    /// Set once the window manager's frame has been seen and allowed for.
    bool fittedToFrame_ = false;
    std::unique_ptr<StatusStrip> status_;
    std::uint64_t shownFormRevision_ = ~std::uint64_t { 0 };
    std::uint64_t shownFocusRequest_ = 0;
};

} // namespace tarnwick
