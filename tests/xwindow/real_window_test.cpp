#include "support/fixtures.h"
#include "support/loopback_server.h"
#include "support/qt_printers.h"
#include "support/spider_sites.h"
#include "ui/window_session.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

/// Waits up to two seconds for `condition`, letting events run; whether it came true.
template <typename Condition> bool eventually(Condition condition)
{
    for (int i = 0; i < 200 && !condition(); ++i)
        QTest::qWait(10);
    return condition();
}

/// Opens a top-level menu by its access letter and chooses its first item with Enter.
void chooseFirstItem(QWidget& window, char accessLetter)
{
    // Without a window manager nothing gives the window back its activation after a dialog.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key(Qt::Key_A + (accessLetter - 'a')), Qt::AltModifier);
    ASSERT_TRUE(eventually([] { return QApplication::activePopupWidget() != nullptr; }))
        << "no menu opened for Alt+" << accessLetter;
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
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
    int barValue = -1, barMaximum = -1;
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
            barValue = bar->isVisible() ? bar->value() : -1;
            barMaximum = bar->maximum();
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
    EXPECT_EQ(barValue, 5);
    EXPECT_EQ(barMaximum, 9);
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
        ASSERT_TRUE(eventually([&] { return focused() == window.widgetFor(**(at + 1)); }))
            << "Tab from " << (*at)->name() << " reached " << focused()->objectName().toStdString();
        EXPECT_NE(widget->grab().toImage(), withFocus) << (*at)->name() << " shows no focus";
    }
    EXPECT_EQ(f.RichTextBox1.Text(), "Title\r\nDescription\r\n") << "Tab typed into the spider data";

    // The template pane lets Shift+Tab go too; Ctrl+Tab types a tab there.
    window.action(f.mnuShowTemplate)->trigger();
    QWidget* pane = window.widgetFor(f.RichTextBox2);
    const QString before = f.RichTextBox2.Text();
    pane->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(eventually([&] { return pane->hasFocus(); }));
    QTest::keyClick(pane, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(pane, Qt::Key_Backtab);
    EXPECT_TRUE(eventually([&] { return !pane->hasFocus(); })) << "Shift+Tab is trapped";
    EXPECT_EQ(f.RichTextBox2.Text(), "\t" + before) << "one tab from Ctrl+Tab, none from Shift+Tab";
}

} // namespace
} // namespace tarnwick
