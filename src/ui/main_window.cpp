#include "ui/main_window.h"

#include "app/form1.h"
#include "app/platform.h"
#include "app/small_handlers.h"
#include "keywords/keyword_lookup.h"
#include "ui/source_choice.h"
#include "ui/status_strip.h"

#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusBar>

namespace tarnwick {

namespace {

/// The central widget: the panels at their layout size, scrolled where the window is smaller.
class ClientArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    /// The layout's whole size, where QScrollArea would offer a fraction of it.
    QSize sizeHint() const override
    {
        return widget() ? widget()->minimumSize() + QSize(2 * frameWidth(), 2 * frameWidth())
                        : QScrollArea::sizeHint();
    }
};

} // namespace

MainWindow::MainWindow(Form1& form, Platform& platform, QWidget* parent)
    : QMainWindow(parent)
    , form_(form)
    , platform_(platform)
    , twips_(logicalDpi(this))
{
    // No close button: the window is left only through Quit.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    setObjectName(QStringLiteral("Form1"));
    setAcceptDrops(true);

    auto* area = new ClientArea(this);
    area->setFrameShape(QFrame::NoFrame);
    // The area itself would be a Tab stop that shows nothing; its controls scroll into view.
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(true);
    auto* client = new QWidget(area);
    client_ = client;
    client->installEventFilter(this);
    // The layout was drawn for a small dialog font; the window's own font keeps every panel's
    // controls inside it.
    QFont small = client->font();
    small.setPointSizeF(8);
    client->setFont(small);
    area->setWidget(client);
    setCentralWidget(area);
    bindings_.setAfterUserAction([this] { sync(); });

    // Built in the order of the three columns, top to bottom, which is also the tab order.
    buildMenus();
    buildKeywordPanel(client);
    buildUrlPanel(client);
    buildSpiderPanel(client);
    buildTemplatePanel(client);
    buildDisclaimerPanel(client);

    // The strip along the bottom edge lies below the client area, so the twips layout keeps
    // its whole height.
    status_ = std::make_unique<StatusStrip>(form_, statusBar(), [this] { sync(); });
    shows(form_.labelStatus, status_->label());

    // Fields and panes take dropped text themselves; a dropped file is the window's to open.
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->acceptDrops())
            child->installEventFilter(this);
    }

    // Measured with the controls' texts and items in them, which can add a pixel or two.
    bindings_.sync();
    layOut(client);
    addToolTips();
    // Escape closes the disclaimer, as it closes a dialog.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (form_.Frame8.Visible())
            run([this] { Command7_Click(form_); });
    });
    showSourceCaptions(form_);
    openingSize_ = sizeHint();
    resize(openingSize_);
    sync();
}

void MainWindow::bindEnabled(QWidget* widget, std::function<bool()> enabled)
{
    enabledWhen_.emplace_back(widget, std::move(enabled));
}

void MainWindow::addToolTips()
{
    widgetFor(form_.Label4)
        ->setToolTip(
            tr("Blinks while the harvest waits between two requests to the search service (5 to 15 s). "
               "Stop All ends the wait."));
    widgetFor(form_.Text5)
        ->setToolTip(tr("Words the page title must contain, separated by commas: all of them, or any one "
                        "with \"or\" ticked.\nAfter \" -\" (a space, then a hyphen), the words it must not "
                        "contain: cheap, flights -hotel, motel\nA single space keeps every title; a hyphen "
                        "without a space before it (e-books) drops every title."));
}

MainWindow::~MainWindow() = default;

void MainWindow::sync()
{
    bindings_.sync();
    for (const auto& [widget, enabled] : enabledWhen_) {
        const bool on = enabled();
        if (widget->isEnabled() == on)
            continue;
        // A control disabled while it had the focus (the seed box after Enter) gets it back.
        if (!on && widget->hasFocus())
            refocus_ = widget;
        widget->setEnabled(on);
        if (on && refocus_ == widget) {
            widget->setFocus(Qt::OtherFocusReason);
            refocus_ = nullptr;
        }
    }
    status_->sync();
    if (form_.revision() == shownFormRevision_)
        return;
    shownFormRevision_ = form_.revision();
    setWindowTitle(form_.Caption());
    // A handler that refused an input names the control to correct, once.
    if (const Control* focused = form_.focused(); focused && form_.focusRequest() != shownFocusRequest_) {
        shownFocusRequest_ = form_.focusRequest();
        if (QWidget* widget = widgetFor(*focused); widget && widget->isVisible()) {
            activateWindow();
            widget->setFocus(Qt::OtherFocusReason);
        }
    }
}

void MainWindow::run(const std::function<void()>& handler)
{
    handler();
    if (platform_.unloaded())
        return;
    sync();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (platform_.unloaded())
        event->accept();
    else
        event->ignore();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
        if (watched == client_)
            placePanels(static_cast<QResizeEvent*>(event)->size());
        return QMainWindow::eventFilter(watched, event);
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: return takeDroppedFiles(event) || QMainWindow::eventFilter(watched, event);
    default: break;
    }
    if (watched != seedBox_ || event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    int keyAscii = 0;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        keyAscii = 13;
    else if (!key->text().isEmpty())
        keyAscii = key->text().at(0).unicode();
    if (keyAscii == 0)
        return false;
    run([this, &keyAscii] { Text1_KeyPress(form_, platform_, keyAscii); });
    // A key the handler cancelled (0) never reaches the box; Enter has no use in a one-line box.
    return keyAscii == 0 || keyAscii == 13;
}

QGroupBox* MainWindow::placeFrame(const Control& frame, const QString& caption, QWidget* parent)
{
    auto* box = shows(frame, new QGroupBox(caption, parent));
    bindings_.visibility(frame, box);
    return box;
}

} // namespace tarnwick
