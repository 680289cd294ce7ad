#include "app/form1.h"
#include "app/startup.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/qt_printers.h"
#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::FakePlatform;
using test::FakeTransferControl;

struct Shown {
    Shown()
        : form(std::make_unique<FakeTransferControl>())
    {
        Form_Load(form);
        window = std::make_unique<MainWindow>(form, platform);
        window->show();
    }
    template <typename W> W* widget(const Control& control)
    {
        auto* w = qobject_cast<W*>(window->widgetFor(control));
        EXPECT_NE(w, nullptr) << control.name();
        return w;
    }
    void trigger(const MenuItem& item) { window->action(item)->trigger(); }

    FakePlatform platform;
    Form1 form;
    std::unique_ptr<MainWindow> window;
};

TEST(MainWindow, PanelsSwapTheDisclaimerComesAndGoesAndMenusRunTheirHandlers)
{
    Shown w;
    auto* spider = w.widget<QGroupBox>(w.form.Frame4);
    auto* templ = w.widget<QGroupBox>(w.form.Frame5);
    auto* disclaimer = w.widget<QGroupBox>(w.form.Frame8);
    EXPECT_TRUE(spider->isVisible());
    EXPECT_FALSE(templ->isVisible());
    EXPECT_FALSE(disclaimer->isVisible());
    EXPECT_EQ(spider->geometry(), templ->geometry());

    w.trigger(w.form.mnuShowTemplate);
    EXPECT_FALSE(spider->isVisible());
    EXPECT_TRUE(templ->isVisible());
    w.trigger(w.form.mnuShowTemplate);
    EXPECT_TRUE(templ->isVisible());
    w.trigger(w.form.mnuShowSpider);
    EXPECT_TRUE(spider->isVisible());
    EXPECT_FALSE(templ->isVisible());

    w.trigger(w.form.mnuDisclaimer);
    EXPECT_TRUE(disclaimer->isVisible());
    QTest::mouseClick(w.widget<QPushButton>(w.form.Command7), Qt::LeftButton);
    EXPECT_FALSE(disclaimer->isVisible());
    EXPECT_FALSE(w.form.Frame8.Visible());

    auto* pane = w.widget<QPlainTextEdit>(w.form.RichTextBox2);
    EXPECT_EQ(pane->toPlainText().split('\n').size(), 17);
    EXPECT_EQ(pane->toPlainText().replace('\n', "\r\n"), defaultTemplate())
        << "the template with its line breaks";

    w.trigger(w.form.mnuGoToHelp);
    EXPECT_EQ(w.platform.opened.size(), 1);
    w.form.Label3.setCaption("1");
    w.trigger(w.form.mnuStopAll);
    EXPECT_EQ(w.form.Label3.Caption(), "0");
}

TEST(MainWindow, OnlyQuitClosesTheWindow)
{
    Shown w;
    EXPECT_FALSE(w.window->close());
    EXPECT_TRUE(w.window->isVisible());
    EXPECT_FALSE(w.window->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(w.window->action(w.form.mnuQuit)->shortcut(), QKeySequence(QKeySequence::Quit));

    auto* transfer = static_cast<FakeTransferControl*>(w.form.Inet1.get());
    transfer->answer("http://127.0.0.1:9/", "x");
    transfer->Execute("http://127.0.0.1:9/", "GET", {}, {});
    w.trigger(w.form.mnuQuit);
    EXPECT_EQ(transfer->cancels, 1);
    EXPECT_TRUE(w.platform.unloaded());
    EXPECT_TRUE(w.window->close());
}

TEST(MainWindow, ClicksRunTheRecordOptionInterlocks)
{
    Shown w;
    QTest::mouseClick(w.widget<QCheckBox>(w.form.Check5), Qt::LeftButton);
    EXPECT_EQ(w.form.Check4.Value(), 0);
    EXPECT_EQ(w.form.Check5.Value(), 1);

    QTest::mouseClick(w.widget<QRadioButton>(w.form.Option1), Qt::LeftButton);
    EXPECT_EQ(w.form.Check4.Value(), 1);
    EXPECT_EQ(w.form.Check5.Value(), 0);
    EXPECT_TRUE(w.form.Option2.Value());
    // The widgets show the state the handlers left, not the click.
    EXPECT_TRUE(w.widget<QCheckBox>(w.form.Check4)->isChecked());
    EXPECT_FALSE(w.widget<QCheckBox>(w.form.Check5)->isChecked());
    EXPECT_TRUE(w.widget<QRadioButton>(w.form.Option2)->isChecked());
    EXPECT_FALSE(w.widget<QRadioButton>(w.form.Option1)->isChecked());
}

TEST(MainWindow, DoubleClickDeletesTheUrlUnderTheMouse)
{
    Shown w;
    for (const char* url : { "http://a/", "http://b/", "http://c/" })
        w.form.List1.AddItem(url);
    w.form.Label1.setCaption("3");
    w.window->sync();

    auto* view = w.widget<QListView>(w.form.List1);
    const QRect second = view->visualRect(view->model()->index(1, 0));
    // A real double-click presses first, which selects the entry.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(w.form.List1.items(), QStringList({ "http://a/", "http://c/" }));
    EXPECT_EQ(w.form.Label1.Caption(), "2");
    EXPECT_EQ(view->model()->rowCount(), 2);
}

TEST(MainWindow, RefusedInputMovesTheFocusToItsFieldAndEnterStartsTheLookup)
{
    Shown w;
    w.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
    w.form.List1.AddItem("http://a/");
    w.form.Text5.setText(" ");
    w.form.Combo3.setText("1");
    w.form.Check3.setValue(1);
    QTest::mouseClick(w.widget<QPushButton>(w.form.Command3), Qt::LeftButton);
    ASSERT_EQ(w.platform.messages, QStringList({ "No directory name!" }));
    EXPECT_TRUE(w.widget<QLineEdit>(w.form.Text8)->hasFocus());

    // Enter in the seed box starts the lookup; other keys reach the box and the state.
    auto* seed = w.widget<QLineEdit>(w.form.Text1);
    QTest::keyClick(seed, Qt::Key_Return);
    EXPECT_EQ(w.platform.messages.last(), "No search term entered!");
    QTest::keyClicks(seed, "cars");
    EXPECT_EQ(w.form.Text1.Text(), "cars");
    EXPECT_EQ(w.platform.messages.size(), 2);
}

TEST(MainWindowLayout, PanelsKeepTheProportionsOfTheirTwips)
{
    Shown w;
    const QWidget* client = w.window->centralWidget();
    const double width = client->width();
    const double height = client->height();
    EXPECT_NEAR(width / height, 11910.0 / 7785.0, 0.01);
    struct Expected {
        const Control* frame;
        int left, top, right, bottom;
    };
    const Expected panels[]
        = { { &w.form.Frame1, 120, 120, 3615, 7695 }, { &w.form.Frame2, 3720, 120, 7605, 7695 },
              { &w.form.Frame4, 7680, 120, 11775, 7695 }, { &w.form.Frame8, 3480, 0, 5895, 2655 } };
    for (const Expected& e : panels) {
        const QRect r = w.window->widgetFor(*e.frame)->geometry();
        // One pixel of rounding at either end.
        EXPECT_NEAR(r.left() / width, e.left / 11910.0, 1.5 / width) << e.frame->name();
        EXPECT_NEAR((r.right() + 1) / width, e.right / 11910.0, 1.5 / width) << e.frame->name();
        EXPECT_NEAR(r.top() / height, e.top / 7785.0, 1.5 / height) << e.frame->name();
        EXPECT_NEAR((r.bottom() + 1) / height, e.bottom / 7785.0, 1.5 / height) << e.frame->name();
    }
}

TEST(MainWindowLayout, TabOrderFollowsTheColumnsTopToBottom)
{
    Shown w;
    Form1& f = w.form;
    const std::vector<const Control*> order = { &f.Text1, &f.Command2, &f.Combo1, &f.List2, &f.Check1,
        &f.Check2, &f.Command1, &f.List1, &f.Command4, &f.Text4, &f.Text6, &f.Combo2, &f.Combo8,
        &f.RichTextBox1, &f.Command5, &f.Check7, &f.Command6, &f.Text5, &f.Check8, &f.Combo3, &f.Text8,
        &f.Text9, &f.Text10, &f.Text11, &f.Combo6, &f.Combo7, &f.Check3, &f.Check6, &f.Check4, &f.Check5,
        &f.Option1, &f.Option2, &f.Command3 };
    QWidget* first = w.window->widgetFor(f.Text1);
    std::vector<const QWidget*> chain;
    QWidget* at = first;
    do {
        chain.push_back(at);
        at = at->nextInFocusChain();
    } while (at && at != first && chain.size() < 2000);

    auto position = [&](const Control* control) {
        QWidget* widget = w.window->widgetFor(*control);
        // A combo box takes the focus through its line edit.
        for (std::size_t i = 0; i < chain.size(); ++i)
            if (chain[i] == widget || chain[i]->parentWidget() == widget)
                return static_cast<int>(i);
        return -1;
    };
    int previous = -1;
    for (const Control* control : order) {
        const int here = position(control);
        EXPECT_GT(here, previous) << control->name() << " is out of the tab order";
        previous = here;
    }
}

} // namespace
} // namespace tarnwick
