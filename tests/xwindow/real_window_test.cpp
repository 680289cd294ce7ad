#include "support/fixtures.h"
#include "support/loopback_server.h"
#include "support/qt_printers.h"
#include "support/spider_sites.h"
#include "ui/window_session.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
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
                    if (n == 3)
                        std::this_thread::sleep_for(std::chrono::milliseconds(800));
                    const std::string number = std::to_string(n);
                    res.set_content(test::spiderPage("Cheap flights offer number " + number,
                                        "Flights deal " + number + " for less"),
                        "text/html");
                });
        }
        server.start();

        QStringList urls;
        for (int n = 1; n <= 6; ++n)
            urls.append(server.url(QString("/p%1").arg(n)));
        urls.insert(2, server.url("/missing")); // answered 404
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
    QString shown(const Control& control) { return widget<QLabel>(control)->text(); }

    QTemporaryDir home;
    LoopbackServer server;
    std::atomic<int> hits { 0 };
    QString urlFile;
    DialogAnswerer answers;
    std::unique_ptr<WindowSession> session;
};

// The run to its end, and its status strip, are the status test's; this one goes through the
// menus, the file dialog and Stop All as the user does.
TEST_F(RealWindow, UrlListFromTheMenuAndStopAllMidRun)
{
    answers.answerFileDialog(urlFile);
    chooseFirstItem('u'); // URLs > Open URLs
    ASSERT_EQ(session->form.List1.ListCount(), 7);
    EXPECT_EQ(shown(session->form.Label1), "7");
    type(session->form.Text5, " ");
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
    EXPECT_EQ(session->window.windowTitle(), "Tarnwick");
}

} // namespace
} // namespace tarnwick
