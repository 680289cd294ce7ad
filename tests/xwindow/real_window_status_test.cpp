#include "support/loopback_server.h"
#include "support/qt_printers.h"
#include "ui/window_session.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tarnwick {
namespace {

// A run over eight pages, the fifth of which answers only once the test has seen the strip
// show the run waiting for it.
TEST(RealWindowStatus, ResizedWindowShowsTheRunInItsStatusStrip)
{
    QTemporaryDir home;
    qputenv("TARNWICK_HOME", home.path().toUtf8());
    std::atomic<bool> fifthAsked { false };
    std::atomic<bool> release { false };
    test::LoopbackServer server;
    server.server.Get(R"(/p(\d))", [&](const httplib::Request& req, httplib::Response& res) {
        if (req.matches[1] == "5") {
            fifthAsked = true;
            for (int i = 0; i < 2000 && !release; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        const std::string n = req.matches[1];
        res.set_content("<html><head><title>Cheap flights offer number " + n
                + "</title><meta name=\"description\" content=\"Flights deal " + n
                + " for less\"></head><body>text</body></html>",
            "text/html");
    });
    server.start();

    WindowSession session;
    session.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&session.window));
    Form1& f = session.form;
    auto* urls = qobject_cast<QListView*>(session.window.widgetFor(f.List1));
    auto* data = qobject_cast<QPlainTextEdit*>(session.window.widgetFor(f.RichTextBox1));
    const QSize opened = session.window.size();
    const int urlsHeight = urls->height();
    const int dataHeight = data->height();
    session.window.resize(opened + QSize(300, 200));
    QTRY_COMPARE(session.window.size(), opened + QSize(300, 200));
    EXPECT_NEAR(urls->height() - urlsHeight, 200, 2);
    EXPECT_NEAR(data->height() - dataHeight, 200, 2);
    session.window.resize(100, 100);
    QTRY_COMPARE(session.window.size(), opened);
    session.window.resize(opened + QSize(300, 200));

    QStringList list;
    for (int n = 1; n <= 8; ++n)
        list.append(server.url(QStringLiteral("/p%1").arg(n)));
    f.List1.replaceAll(list);
    f.Label1.setCaption(QStringLiteral("8"));
    f.Text5.setText(QStringLiteral(" "));
    session.window.sync();

    auto* strip = qobject_cast<QLabel*>(session.window.widgetFor(f.labelStatus));
    auto* bar = session.window.findChild<QProgressBar*>();
    ASSERT_NE(strip, nullptr);
    ASSERT_NE(bar, nullptr);
    QString during;
    int barValue = -1;
    int barMaximum = -1;
    QStringList messages;
    QString atMessage;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            messages.append(box->text());
            atMessage = strip->text();
            box->accept();
        } else if (fifthAsked && !release && strip->text().startsWith(QStringLiteral("Spider: URL 5 of 8"))) {
            during = strip->text();
            // tools/screenshot.sh takes the picture of the window in use here.
            if (const QString picture = qEnvironmentVariable("TARNWICK_SCREENSHOT"); !picture.isEmpty())
                session.window.grab().save(picture);
            barValue = bar->isVisible() ? bar->value() : -1;
            barMaximum = bar->maximum();
            release = true;
        }
    });
    watch.start(20);
    QTest::mouseClick(session.window.widgetFor(f.Command3), Qt::LeftButton);
    release = true;
    qunsetenv("TARNWICK_HOME");

    EXPECT_EQ(messages, QStringList { QStringLiteral("Run completed! Tarnwick list of sites spidered!") });
    EXPECT_TRUE(during.startsWith(QStringLiteral("Spider: URL 5 of 8, 4 added"))) << during.toStdString();
    EXPECT_EQ(barValue, 4);
    EXPECT_EQ(barMaximum, 8);
    // The outcome summary comes with the end message and stays; no bar.
    const QString summary
        = QStringLiteral("Spidered 8 of 8 URLs: 8 accepted, 0 refused by the rules, 0 failed");
    EXPECT_EQ(atMessage, summary);
    EXPECT_EQ(strip->text(), summary);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(f.List1.ListCount(), 8);
}

} // namespace
} // namespace tarnwick
