#include "ui/main_window.h"

#include "app/form1.h"
#include "ui/screen_fit.h"

#include <QMoveEvent>
#include <QScreen>

namespace tarnwick {

namespace {

// The client area, in twips.
constexpr int kClientWidth = 11910;
constexpr int kClientHeight = 7785;
// Where the three columns run, in twips; all of them from kColumnTop to kColumnBottom.
constexpr int kColumnTop = 120;
constexpr int kColumnBottom = 7695;
struct Column {
    Frame Form1::*frame;
    int left, right;
};
constexpr Column kColumns[] = { { &Form1::Frame1, 120, 3615 }, { &Form1::Frame2, 3720, 7605 },
    { &Form1::Frame4, 7680, 11775 }, { &Form1::Frame5, 7680, 11775 } };
// The disclaimer panel, over the meeting point of the left and middle columns.
constexpr QRect kDisclaimer(QPoint(3480, 0), QPoint(5895, 2655));
constexpr int kLeftColumnRight = 3615;
constexpr int kMiddleColumnLeft = 3720;

} // namespace

qreal MainWindow::logicalDpi(QWidget* widget)
{
    const QScreen* screen = widget->screen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

void MainWindow::layOut(QWidget* client)
{
    growToFit();
    // The layout was drawn for this size: smaller, captions and fields would be cut off, so
    // a smaller window scrolls instead.
    client->setMinimumSize(twips_.px(kClientWidth), twips_.px(kClientHeight));
    placePanels(client->minimumSize());
}

void MainWindow::fitToScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    // The frame is known once a window manager has framed the window; nothing before that.
    const ScreenFit fit = fitOnScreen(screen->availableGeometry(), frameGeometry().size() - size(),
        openingSize_, screen->devicePixelRatio());
    setMinimumSize(fit.size);
    resize(fit.size);
    move(fit.position);
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    // A window manager frames the window after it is shown; the frame's title bar and edges
    // must fit on the screen too, once.
    if (!fittedToFrame_ && isVisible() && frameGeometry().size() != size()) {
        fittedToFrame_ = true;
        if (const QScreen* screen = this->screen();
            screen && !screen->availableGeometry().contains(frameGeometry()))
            fitToScreen();
    }
}

void MainWindow::growToFit()
{
    // The twips were drawn for a smaller dialog font than some desktops use. Where a column's
    // controls need more room than its twips give, the whole layout grows evenly, so it keeps
    // its proportions and nothing is squeezed.
    const qreal dpi = logicalDpi(this);
    for (int percent = 100; percent <= 300; ++percent) {
        twips_ = Twips(dpi * percent / 100.0);
        bool fits = true;
        for (const Column& column : kColumns) {
            const QSize needs = widgetFor(form_.*column.frame)->minimumSizeHint();
            fits = fits && needs.width() <= twips_.px(column.right) - twips_.px(column.left)
                && needs.height() <= twips_.px(kColumnBottom) - twips_.px(kColumnTop);
        }
        if (fits)
            return;
    }
}

void MainWindow::placePanels(const QSize& client)
{
    // The columns keep their shares of the width and their margins at the top and bottom, so
    // what the window gains in height goes to the lists and panes inside them.
    auto x = [&](int twips) { return qRound(twips * static_cast<qreal>(client.width()) / kClientWidth); };
    const int top = twips_.px(kColumnTop);
    const int bottom = client.height() - (twips_.px(kClientHeight) - twips_.px(kColumnBottom));
    for (const Column& column : kColumns) {
        if (QWidget* panel = widgetFor(form_.*column.frame))
            panel->setGeometry(QRect(QPoint(x(column.left), top), QPoint(x(column.right) - 1, bottom - 1)));
    }
    // The disclaimer keeps its size and moves with the meeting point of the columns.
    if (QWidget* disclaimer = widgetFor(form_.Frame8)) {
        auto meeting = [](auto place) { return (place(kLeftColumnRight) + place(kMiddleColumnLeft)) / 2; };
        const int moved = meeting(x) - meeting([this](int twips) { return twips_.px(twips); });
        disclaimer->setGeometry(
            twips_.rect(kDisclaimer.left(), kDisclaimer.top(), kDisclaimer.right(), kDisclaimer.bottom())
                .translated(moved, 0));
    }
}

} // namespace tarnwick
