#include "ui/window_session.h"

#include <QAction>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// ctest runs this at QT_SCALE_FACTOR=1.75 on a 1600x1000 screen, where the layout is taller
// than the screen: the window opens inside the screen, menu bar and all, and scrolls instead.
TEST(RealWindowScale, WindowAndMenuBarLieOnTheScreen)
{
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR"))
        GTEST_SKIP() << "needs QT_SCALE_FACTOR and TARNWICK_XVFB_SCREEN (ctest sets them)";
    WindowSession session;
    MainWindow& window = session.window;
    session.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QRect screen = window.screen()->availableGeometry();
    auto inside
        = [&](const QWidget* w) { return screen.contains(QRect(w->mapToGlobal(QPoint()), w->size())); };
    EXPECT_TRUE(screen.contains(window.frameGeometry()));
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
