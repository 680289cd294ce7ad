#include "ui/main_window.h"

#include "app/form1.h"
#include "app/platform.h"
#include "keywords/keyword_lookup.h"

#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>

namespace tarnwick {

namespace {

// The client area, in twips.
constexpr int kClientWidth = 11910;
constexpr int kClientHeight = 7785;

qreal logicalDpi(QWidget* widget)
{
    const QScreen* screen = widget->screen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

} // namespace

MainWindow::MainWindow(Form1& form, Platform& platform, QWidget* parent)
    : QMainWindow(parent)
    , form_(form)
    , platform_(platform)
    , twips_(logicalDpi(this))
{
    // No close button: the window is left only through Quit.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint);
    setObjectName(QStringLiteral("Form1"));

    auto* client = new QWidget(this);
    client->setFixedSize(twips_.px(kClientWidth), twips_.px(kClientHeight));
    // The layout was drawn for a small dialog font; the window's own font keeps every panel's
    // controls inside it.
    QFont small = client->font();
    small.setPointSizeF(8);
    client->setFont(small);
    setCentralWidget(client);
    bindings_.setAfterUserAction([this] { sync(); });

    // Built in the order of the three columns, top to bottom, which is also the tab order.
    buildMenus();
    buildKeywordPanel(client);
    buildUrlPanel(client);
    buildSpiderPanel(client);
    buildTemplatePanel(client);
    buildDisclaimerPanel(client);

    auto* status = shows(form_.labelStatus, new QLabel(client));
    status->setGeometry(twips_.rect(120, 7695, kClientWidth - 120, kClientHeight));
    bindings_.label(form_.labelStatus, status);

    sync();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::sync()
{
    bindings_.sync();
    if (form_.revision() == shownFormRevision_)
        return;
    shownFormRevision_ = form_.revision();
    setWindowTitle(form_.Caption());
    // A handler that refused an input names the control to correct.
    if (const Control* focused = form_.focused()) {
        if (QWidget* widget = widgetFor(*focused); widget && widget->isVisible()) {
            activateWindow();
            widget->setFocus(Qt::OtherFocusReason);
        }
    }
}

void MainWindow::run(const std::function<void()>& handler)
{
    handler();
    if (!platform_.unloaded())
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

QGroupBox* MainWindow::placeFrame(
    const Control& frame, const QString& caption, QWidget* parent, const QRect& where)
{
    auto* box = shows(frame, new QGroupBox(caption, parent));
    box->setGeometry(where);
    bindings_.visibility(frame, box);
    return box;
}

} // namespace tarnwick
