#include "ui/window_session.h"

#include <QAction>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <utility>

namespace tarnwick {
namespace {

/// Where the X server has the window and how large its screen is, in device pixels. With no
/// window manager the window is a child of the root window, so its position is on the screen.
std::pair<QRect, QSize> onServer(const QWidget& window)
{
    xcb_connection_t* c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_get_geometry_reply_t* g
        = xcb_get_geometry_reply(c, xcb_get_geometry(c, static_cast<xcb_window_t>(window.winId())), nullptr);
    const QRect rect
        = g ? QRect(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width) : QRect();
    std::free(g);
    return { rect, QSize(root->width_in_pixels, root->height_in_pixels) };
}

// ctest runs this at QT_SCALE_FACTOR 1.5, 1.75 and 2 on a 1600x1000 screen, where the layout is
// taller than the screen: the window opens inside the screen, menu bar and all, and scrolls.
TEST(RealWindowScale, WindowAndMenuBarLieOnTheScreen)
{
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR"))
        GTEST_SKIP() << "needs QT_SCALE_FACTOR and TARNWICK_XVFB_SCREEN (ctest sets them)";
    WindowSession session;
    MainWindow& window = session.window;
    session.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QRect screen = window.screen()->availableGeometry();
    auto inside = [&](auto* w) { return screen.contains(QRect(w->mapToGlobal(QPoint()), w->size())); };
    EXPECT_TRUE(screen.contains(window.frameGeometry()));
    // In the X server's own device pixels too, where Qt's rounding of logical pixels shows.
    const auto [rect, screenSize] = onServer(window);
    EXPECT_TRUE(QRect(QPoint(), screenSize).contains(rect))
        << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
    EXPECT_TRUE(inside(window.menuBar()) && inside(window.statusBar()));
    EXPECT_TRUE(window.minimumWidth() <= screen.width() && window.minimumHeight() <= screen.height());
    // Every menu shows in the bar itself, none only behind its overflow button.
    for (QAction* menu : window.menuBar()->actions())
        EXPECT_TRUE(window.menuBar()->rect().contains(window.menuBar()->actionGeometry(menu)))
            << menu->text().toStdString();
    // The layout keeps its size; where the window is smaller, it shows it through scroll bars.
    EXPECT_EQ(window.client()->size().expandedTo(window.client()->minimumSize()), window.client()->size());
    if (const QString picture = qEnvironmentVariable("TARNWICK_SCREENSHOT"); !picture.isEmpty())
        window.grab().save(picture);
}

} // namespace
} // namespace tarnwick
