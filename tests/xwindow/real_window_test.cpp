#include "support/fixtures.h"
#include "support/loopback_server.h"
#include "support/qt_printers.h"
#include "support/spider_sites.h"
#include "ui/window_session.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace tarnwick {
namespace {

using test::LoopbackServer;

/// Answers the modal dialogs the run opens, as the user would: a file dialog gets a path, a
/// message box is read and closed.
class DialogAnswerer {
public:
    DialogAnswerer()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(20);
    }
    void answerFileDialog(const QString& path) { nextPath_ = path; }
    /// Runs at every poll while no dialog is open (for example to choose Stop All mid-run).
    std::function<void()> meanwhile;
    QStringList messages;

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && !nextPath_.isEmpty()) {
            dialog->selectFile(nextPath_);
            nextPath_.clear();
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.append(box->text());
            box->accept();
        } else if (!modal && meanwhile) {
            meanwhile();
        }
    }
    QTimer timer_;
    QString nextPath_;
};

class RealWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        qputenv("TARNWICK_HOME", home.path().toUtf8());
        for (int n = 1; n <= 6; ++n) {
            server.server.Get(
                "/p" + std::to_string(n), [this, n](const httplib::Request&, httplib::Response& res) {
                    ++hits;
                    if (n == 3 && slowThird)
                        std::this_thread::sleep_for(std::chrono::milliseconds(800));
                    const std::string number = std::to_string(n);
                    res.set_content(test::spiderPage("Cheap flights offer number " + number,
                                        "Flights deal " + number + " for less"),
                        "text/html");
                });
        }
        server.server.Get(
            "/missing", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
        server.start();

        QStringList urls;
        for (int n = 1; n <= 6; ++n)
            urls.append(server.url(QString("/p%1").arg(n)));
        urls.insert(2, server.url("/missing"));
        urlFile = home.filePath("list.urls");
        test::writeFileBytes(urlFile, urls.join("\r\n").toUtf8() + "\r\n");

        session = std::make_unique<WindowSession>();
        session->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&session->window));
        session->window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&session->window));
    }
    void TearDown() override { qunsetenv("TARNWICK_HOME"); }

    template <typename W> W* widget(const Control& control)
    {
        return qobject_cast<W*>(session->window.widgetFor(control));
    }
    /// Opens a top-level menu by its access letter, moves `menusRight` menus to the right with
    /// the arrow key, and chooses that menu's first item with Enter.
    void chooseFirstItem(char accessLetter, int menusRight = 0)
    {
        // Without a window manager nothing gives the window back its activation after a dialog.
        session->window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&session->window));
        QTest::keyClick(&session->window, Qt::Key(Qt::Key_A + (accessLetter - 'a')), Qt::AltModifier);
        QWidget* popup = nullptr;
        for (int i = 0; i < 100 && !popup; ++i) {
            QTest::qWait(10);
            popup = QApplication::activePopupWidget();
        }
        ASSERT_NE(popup, nullptr) << "no menu opened for Alt+" << accessLetter;
        for (int i = 0; i < menusRight; ++i) {
            QTest::keyClick(popup, Qt::Key_Right);
            QTest::qWait(20);
            popup = QApplication::activePopupWidget();
            ASSERT_NE(popup, nullptr);
        }
        QTest::keyClick(popup, Qt::Key_Return);
    }
    void type(const Control& control, const QString& text)
    {
        auto* edit = widget<QLineEdit>(control);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    void setUpSpider()
    {
        type(session->form.Text5, " ");
        QTest::mouseClick(widget<QCheckBox>(session->form.Check3), Qt::LeftButton);
        type(session->form.Text8, "flights");
        type(session->form.Text9, "cheap");
        type(session->form.Text10, "sitemap");
        type(session->form.Text11, "Cheap flights");
        auto* perPage = widget<QComboBox>(session->form.Combo3);
        perPage->lineEdit()->selectAll();
        QTest::keyClicks(perPage->lineEdit(), "2");
    }
    QString shown(const Control& control) { return widget<QLabel>(control)->text(); }

    QTemporaryDir home;
    LoopbackServer server;
    std::atomic<int> hits { 0 };
    bool slowThird = false;
    QString urlFile;
    DialogAnswerer answers;
    std::unique_ptr<WindowSession> session;
};

TEST_F(RealWindow, SpiderRunFromTheMenusToThePagesWritten)
{
    answers.answerFileDialog(urlFile);
    chooseFirstItem('u'); // URLs > Open URLs
    ASSERT_EQ(session->form.List1.ListCount(), 7);
    EXPECT_EQ(shown(session->form.Label1), "7");

    setUpSpider();
    QTest::mouseClick(widget<QPushButton>(session->form.Command3), Qt::LeftButton);

    EXPECT_EQ(answers.messages, QStringList({ "Run completed! Tarnwick list of sites spidered!" }));
    EXPECT_EQ(shown(session->form.Label15), "7");
    EXPECT_EQ(shown(session->form.Label10), "6");
    auto* urls = widget<QListView>(session->form.List1);
    ASSERT_EQ(urls->model()->rowCount(), 6);
    EXPECT_EQ(urls->model()->index(0, 0).data().toString(), server.url("/p1"));
    EXPECT_EQ(session->window.windowTitle(), "Tarnwick");

    const QDir out(home.filePath("flights"));
    const QStringList pages = out.entryList({ "*.html" }, QDir::Files, QDir::Name);
    EXPECT_EQ(pages.size(), 4) << pages.join(' ').toStdString(); // three pages of two and the sitemap
    EXPECT_TRUE(pages.contains("sitemap.html"));
}

TEST_F(RealWindow, StopAllFromTheMenuEndsTheRun)
{
    slowThird = true;
    answers.answerFileDialog(urlFile);
    chooseFirstItem('u');
    setUpSpider();
    bool stopped = false;
    answers.meanwhile = [&] {
        if (!stopped && hits >= 2) {
            stopped = true;
            // "&Template" and "S&top" share their access letter; Alt+T reaches Template first,
            // so the way to Stop goes from Keywords, four menus along.
            chooseFirstItem('k', 4); // Stop > Stop All
        }
    };
    QTest::mouseClick(widget<QPushButton>(session->form.Command3), Qt::LeftButton);

    EXPECT_TRUE(stopped);
    EXPECT_EQ(answers.messages, QStringList({ "Stopped!" }));
    EXPECT_EQ(session->form.Label3.Caption(), "0");
    EXPECT_LT(hits.load(), 7);
}

} // namespace
} // namespace tarnwick
