#include "support/fixtures.h"
#include "support/loopback_server.h"
#include "support/qt_printers.h"
#include "support/spider_sites.h"
#include "ui/window_session.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

/// Opens a top-level menu by its access letter and chooses its first item with Enter.
void chooseFirstItem(QWidget& window, char accessLetter)
{
    // Without a window manager nothing gives the window back its activation after a dialog.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key(Qt::Key_A + (accessLetter - 'a')), Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 2000))
        << "no menu opened for Alt+" << accessLetter;
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
}

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

// A URL list opened through the menu and its file dialog, a resize, and a spider run whose fifth page
// answers only once the strip shows the run waiting, Stop All was chosen by keyboard (Alt+O, Enter) and
// "Stopped!" answered with Enter. Consolidate then works from the stop point, whatever the highlight.
TEST(RealWindowStatus, RunFromTheMenusShowsInTheStripStopsFromTheKeyboardAndConsolidates)
{
    QTemporaryDir home;
    qputenv("TARNWICK_HOME", home.path().toUtf8());
    std::atomic<int> hits { 0 };
    std::atomic<bool> release { false };
    test::LoopbackServer server;
    server.server.Get(R"(/p(\d))", [&](const httplib::Request& req, httplib::Response& res) {
        const std::string n = req.matches[1];
        ++hits;
        for (int i = 0; n == "5" && i < 2000 && !release; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        res.set_content(test::spiderPage("Cheap flights offer number " + n, "Flight deal " + n + " for less"),
            "text/html");
    });
    server.start();
    QStringList urls;
    for (int n = 1; n <= 8; ++n)
        urls.append(server.url(QStringLiteral("/p%1").arg(n)));
    urls.insert(2, server.url("/missing")); // answered 404
    const QString urlFile = home.filePath("list.urls");
    test::writeFileBytes(urlFile, urls.join("\r\n").toUtf8() + "\r\n");

    WindowSession session;
    session.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&session.window));
    MainWindow& window = session.window;
    Form1& f = session.form;
    QWidget* urlView = window.widgetFor(f.List1);
    const QSize opened = window.size();
    const int urlsHeight = urlView->height();
    window.resize(opened + QSize(300, 200));
    QTRY_COMPARE(window.size(), opened + QSize(300, 200));
    EXPECT_NEAR(urlView->height() - urlsHeight, 200, 2);
    window.resize(100, 100);
    QTRY_COMPARE(window.size(), opened);
    window.resize(opened + QSize(300, 200));

    auto* strip = qobject_cast<QLabel*>(window.widgetFor(f.labelStatus));
    auto* bar = window.findChild<QProgressBar*>();
    ASSERT_TRUE(strip && bar);
    QStringList messages;
    QString atMessage, during;
    std::pair<int, int> barAtStop { -1, -1 }; // its value, or -1 when hidden, and its maximum
    bool stopping = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            dialog->selectFile(urlFile);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.append(box->text());
            atMessage = strip->text();
            QTest::keyClick(box, Qt::Key_Return);
        } else if (!modal && !stopping && strip->text().startsWith(QStringLiteral("Spider: URL 6 of 9"))) {
            stopping = true;
            during = strip->text();
            // tools/screenshot.sh takes the picture of the window in use here.
            if (const QString picture = qEnvironmentVariable("TARNWICK_SCREENSHOT"); !picture.isEmpty())
                window.grab().save(picture);
            barAtStop = { bar->isVisible() ? bar->value() : -1, bar->maximum() };
            chooseFirstItem(window, 'o'); // Stop > Stop All
            release = true;
        }
    });
    poll.start(20);
    chooseFirstItem(window, 'u'); // URLs > Open URLs
    ASSERT_EQ(f.List1.ListCount(), 9);
    EXPECT_EQ(qobject_cast<QLabel*>(window.widgetFor(f.Label1))->text(), "9");
    f.Text5.setText(QStringLiteral(" "));
    // The list has the focus when the run starts, as after a look at it.
    QTest::mouseClick(qobject_cast<QListView*>(urlView)->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(window.widgetFor(f.Command3), Qt::LeftButton);
    release = true;
    qunsetenv("TARNWICK_HOME");

    EXPECT_TRUE(during.startsWith(QStringLiteral("Spider: URL 6 of 9, 4 added"))) << during.toStdString();
    EXPECT_EQ(barAtStop, std::pair(5, 9));
    EXPECT_EQ(messages, QStringList { QStringLiteral("Stopped!") });
    // The outcome summary comes with the end message and stays; no bar.
    const QString summary = QStringLiteral(
        "Spidered 6 of 9 URLs: 5 accepted, 0 refused by the rules, 1 failed (1 HTTP status)");
    EXPECT_EQ(atMessage, summary);
    EXPECT_EQ(strip->text(), summary);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(f.Label3.Caption(), "0");
    EXPECT_EQ(hits.load(), 5);
    EXPECT_EQ(window.windowTitle(), "Tarnwick");
    EXPECT_EQ(f.Text19.Text(), "6") << "the stop point, for Consolidate";

    // The highlight goes; the stop point stays with the run.
    qobject_cast<QListView*>(urlView)->selectionModel()->clear();
    QTest::mouseClick(window.widgetFor(f.Command6), Qt::LeftButton);
    urls.removeAt(2); // the 404 before the stop drops out
    EXPECT_EQ(f.List1.items(), urls);
    EXPECT_EQ(qobject_cast<QLabel*>(window.widgetFor(f.Label1))->text(), "8");
    QTest::mouseClick(window.widgetFor(f.Command6), Qt::LeftButton);
    EXPECT_EQ(messages.value(1), "Nothing to consolidate: there is no stopped spider run to go on from.");
    EXPECT_EQ(f.List1.items(), urls);
}

// Tab from the seed box walks every control of the three columns, top to bottom, through the
// spider data pane without typing into it, and back to the seed box; each stop shows the focus.
TEST(RealWindowKeys, TabWalksEveryColumnShowingTheFocusAndLeavesThePanes)
{
    WindowSession session;
    session.show();
    MainWindow& window = session.window;
    Form1& f = session.form;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    f.RichTextBox1.setText("Title\r\nDescription\r\n");
    f.List1.replaceAll({ "http://a.example/", "http://b.example/" });
    window.sync();

    // Every control that can act now: "Google UK:" waits for the Classic result source.
    std::vector<const Control*> walk { &f.Text1, &f.Command2, &f.Combo1, &f.List2, &f.Check1, &f.Check2,
        &f.Command1, &f.List1, &f.Command4, &f.Text4, &f.Text6, &f.Combo2, &f.Combo8, &f.Combo10, &f.Combo9,
        &f.Check9, &f.RichTextBox1, &f.Command5, &f.Check7, &f.Command6, &f.Text5, &f.Check8, &f.Combo3,
        &f.Text8, &f.Text9, &f.Text10, &f.Text11, &f.Text18, &f.Combo6, &f.Combo7, &f.Check3, &f.Check6,
        &f.Check4, &f.Check5, &f.Option1, &f.Option2, &f.Command3, &f.Text1 };
    std::erase_if(walk, [&](const Control* c) { return !window.widgetFor(*c)->isEnabled(); });
    EXPECT_EQ(walk.size(), 37u);
    // The control that has the focus: a combo box has it through its line edit.
    auto focused = [&]() -> QWidget* {
        QWidget* at = QApplication::focusWidget();
        return at && qobject_cast<QComboBox*>(at->parentWidget()) ? at->parentWidget() : at;
    };
    window.widgetFor(f.Text1)->setFocus(Qt::TabFocusReason);
    for (auto at = walk.begin(); at + 1 != walk.end(); ++at) {
        QWidget* widget = window.widgetFor(**at);
        const QImage withFocus = widget->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(QTest::qWaitFor([&] { return focused() == window.widgetFor(**(at + 1)); }, 2000))
            << "Tab from " << (*at)->name() << " reached " << focused()->objectName().toStdString();
        EXPECT_NE(widget->grab().toImage(), withFocus) << (*at)->name() << " shows no focus";
    }
    EXPECT_EQ(f.RichTextBox1.Text(), "Title\r\nDescription\r\n") << "Tab typed into the spider data";

    // The template pane lets Shift+Tab go too; Ctrl+Tab types a tab there.
    window.action(f.mnuShowTemplate)->trigger();
    QWidget* pane = window.widgetFor(f.RichTextBox2);
    const QString before = f.RichTextBox2.Text();
    pane->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane->hasFocus(); }, 2000));
    QTest::keyClick(pane, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(pane, Qt::Key_Backtab);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !pane->hasFocus(); }, 2000)) << "Shift+Tab is trapped";
    EXPECT_EQ(f.RichTextBox2.Text(), "\t" + before) << "one tab from Ctrl+Tab, none from Shift+Tab";
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
