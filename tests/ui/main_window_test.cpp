// What the widget layer owns: menus, buttons and keys reach their handlers, the widgets show
// the state the handlers leave, dropped files open, and messages show as plain text.
#include "harvest/result_sources.h"
#include "keywords/keyword_sources.h"
#include "support/fixtures.h"
#include "support/qt_printers.h"
#include "support/shown_window.h"

#include <QAbstractButton>
#include <QDropEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace tarnwick {
namespace {

using Shown = test::ShownWindow;

TEST(MainWindow, MenusAndButtonsRunTheirHandlersAndOnlyQuitCloses)
{
    Shown w;
    Form1& f = w.f;
    EXPECT_EQ(w.widget(f.Frame4)->geometry(), w.widget(f.Frame5)->geometry());
    auto on = [&](const Control& frame) { return QString::number(w.widget(frame)->isVisible()); };
    auto shown = [&] { return on(f.Frame4) + on(f.Frame5) + on(f.Frame8); };
    EXPECT_EQ(shown(), "100") << "spider, template, disclaimer";
    w.trigger(f.mnuShowTemplate);
    EXPECT_EQ(shown(), "010");
    w.trigger(f.mnuShowSpider);
    w.trigger(f.mnuDisclaimer);
    EXPECT_EQ(shown(), "101");
    QTest::mouseClick(w.widget(f.Command7), Qt::LeftButton);
    EXPECT_EQ(shown(), "100");
    EXPECT_EQ(w.widget<QPlainTextEdit>(f.RichTextBox2)->toPlainText(), defaultTemplate().remove(u'\r'));
    // A run appends to the spider data pane: only the new tail is added to the editor.
    auto* data = w.widget<QPlainTextEdit>(f.RichTextBox1);
    for (const char* record : { "T1\r\n", "T2\r\n" }) {
        f.RichTextBox1.appendText(record);
        w.window.sync();
    }
    EXPECT_EQ(data->toPlainText(), "T1\nT2\n");
    data->setPlainText("a\nb");
    EXPECT_EQ(f.RichTextBox1.Text(), "a\r\nb") << "what the user edits is kept with CR LF";

    f.Label3.setCaption("1");
    w.trigger(f.mnuStopAll);
    EXPECT_EQ(f.Label3.Caption(), "0");

    EXPECT_FALSE(w.window.close());
    EXPECT_TRUE(w.window.isVisible());
    EXPECT_FALSE(w.window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(w.window.action(f.mnuQuit)->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Q)));
    w.p.yesNoAnswers = { true }; // the pane holds what the user typed
    w.trigger(f.mnuQuit);
    EXPECT_EQ(w.p.questions.size(), 1);
    EXPECT_TRUE(w.p.unloaded());
    EXPECT_TRUE(w.window.close());
}

TEST(MainWindow, ClicksGoThroughTheHandlersAndDoubleClickDeletesTheUrlUnderTheMouse)
{
    Shown w;
    Form1& f = w.f;
    auto checked = [&](const Control& c) { return w.widget<QAbstractButton>(c)->isChecked(); };
    QTest::mouseClick(w.widget(f.Check5), Qt::LeftButton);
    EXPECT_FALSE(checked(f.Check4)) << "Check5's handler clears Check4";
    QTest::mouseClick(w.widget(f.Option1), Qt::LeftButton);
    // The widgets show the state the handlers left, not the click.
    EXPECT_TRUE(checked(f.Check4) && !checked(f.Check5) && checked(f.Option2) && !checked(f.Option1));

    f.List1.replaceAll({ "http://a/", "http://b/", "http://c/" });
    w.window.sync();
    auto* view = w.widget<QListView>(f.List1);
    const QPoint second = view->visualRect(view->model()->index(1, 0)).center();
    // A real double-click presses first, which selects the entry.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(f.List1.ListIndex(), 1);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(f.List1.items(), QStringList({ "http://a/", "http://c/" }));
    EXPECT_EQ(view->model()->rowCount(), 2);
}

TEST(MainWindow, RefusedInputMovesTheFocusToItsFieldAndEnterStartsTheLookup)
{
    Shown w;
    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.f.List1.AddItem("http://a/");
    w.f.Text5.setText(" ");
    w.f.Combo3.setText("1");
    w.f.Check3.setValue(1);
    QTest::mouseClick(w.widget(w.f.Command3), Qt::LeftButton);
    ASSERT_EQ(w.p.messages, QStringList({ "No directory name!" }));
    EXPECT_TRUE(w.widget(w.f.Text8)->hasFocus());

    // Enter in the seed box starts the lookup; other keys reach the box and the state.
    auto* seed = w.widget<QLineEdit>(w.f.Text1);
    QTest::keyClick(seed, Qt::Key_Return);
    EXPECT_EQ(w.p.messages.last(), "No search term entered!");
    QTest::keyClicks(seed, "cars");
    EXPECT_EQ(w.f.Text1.Text(), "cars");
    EXPECT_EQ(w.p.messages.size(), 2);
}

TEST(MainWindow, SourcesMenuMarksItsChoicesAndTheSeedExpansion)
{
    Shown w;
    QMenu* menu = w.window.action(w.f.mnuSources)->menu();
    auto marked = [&] {
        emit menu->aboutToShow();
        QStringList names;
        for (const QAction* action : menu->actions())
            if (action->isChecked())
                names << action->objectName();
        return names;
    };
    const QString keywords = "keywordSource:" + keywordSources().front().name;
    const QString results = "resultSource:" + resultSources().front().name;
    EXPECT_EQ(marked(), (QStringList { keywords, results }));
    // Each source entry is tried with the window's captions (window_states_test).
    QAction* expand = menu->findChild<QAction*>("seedExpansion");
    expand->trigger();
    EXPECT_EQ(w.f.seedExpansion, SeedExpansion::On);
    EXPECT_EQ(marked(), (QStringList { keywords, "seedExpansion", results }));
    expand->trigger();
    EXPECT_EQ(w.f.seedExpansion, SeedExpansion::Off);
    w.f.seedExpansion = SeedExpansion::On; // as the command line may set it
    EXPECT_TRUE(marked().contains("seedExpansion"));

    // One key, one entry: each menu in the bar and each entry of Sources has an access letter
    // of its own, so no key meant for one menu reaches another (Stop, during a run).
    for (QWidget* owner : std::initializer_list<QWidget*> { w.window.menuBar(), menu }) {
        std::set<int> letters;
        for (const QAction* action : owner->actions()) {
            if (action->isSeparator() || !action->isEnabled())
                continue;
            const QKeySequence letter = QKeySequence::mnemonic(action->text());
            EXPECT_FALSE(letter.isEmpty()) << action->text().toStdString();
            EXPECT_TRUE(letters.insert(letter[0].toCombined()).second) << action->text().toStdString();
        }
    }
}

TEST(MainWindow, DroppedFilesOpenAsTheirOpenCommandsOpenThem)
{
    using Shows = QString (*)(const Form1&);
    const std::tuple<const char*, QByteArray, Shows, QString, QStringList> cases[] = {
        { "seeds.kwrds", "a - cheap flights\r\nb - hotels\r\n",
            [](const Form1& f) { return f.List2.items().join('|') + ' ' + f.Label7.Caption(); },
            "a - cheap flights|b - hotels 2", {} },
        { "LIST.URLS", "http://a.example/\r\n\r\nhttp://b.example/\r\n",
            [](const Form1& f) { return f.List1.items().join('|') + ' ' + f.Label1.Caption(); },
            "http://a.example/|http://b.example/ 2", {} },
        { "run.sdata", "Title\r\nDescription", [](const Form1& f) { return f.RichTextBox1.Text(); },
            "Title\r\nDescription\r\n", {} },
        { "page.tplate", "<html>!@@!</html>", [](const Form1& f) { return f.RichTextBox2.Text(); },
            "<html>!@@!</html>\r\n", {} },
        { "too-many.urls", QByteArray("http://x.example/\r\n").repeated(30002),
            [](const Form1& f) { return f.Label1.Caption(); }, "30001", { "Limit reached!" } },
        { "notes.txt", "http://c.example/\r\n", [](const Form1& f) { return f.List1.items().join('|'); }, "",
            {} },
    };
    for (const auto& [file, content, shows, expected, messages] : cases) {
        Shown w;
        const QString path = w.home.filePath(QString::fromLatin1(file));
        test::writeFileBytes(path, content);
        QMimeData mime;
        mime.setUrls({ QUrl::fromLocalFile(path) });
        const bool opens = !expected.isEmpty();
        // A file the window opens is taken even over the data pane (not pasted as text); others refused.
        QWidget* target = opens ? w.widget<QPlainTextEdit>(w.f.RichTextBox1)->viewport() : &w.window;
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_EQ(enter.isAccepted(), opens) << file;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_EQ(shows(w.f), expected) << file;
        EXPECT_EQ(w.p.messages, messages) << file;
        // No dialog: the dropped file is the one to open.
        EXPECT_TRUE(w.p.dialogs.empty()) << file;
    }
}

} // namespace
} // namespace tarnwick
