#include "app/about.h"
#include "app/app_path.h"
#include "app/small_handlers.h"
#include "app/startup.h"
#include "app/state_folder.h"
#include "app/text_ops.h"
#include "files/file_commands.h"
#include "instance/instance_settings.h"
#include "support/test_window.h"

#include <QDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <tuple>

namespace tarnwick {
namespace {

using test::TestWindow;

TEST(StartUp, ControlsCombosBacklinksTemplateAndDisclaimer)
{
    TestWindow w;
    Form1& f = w.f();
    EXPECT_EQ(f.Caption(), "Tarnwick");
    for (const Label* label : { &f.Label7, &f.Label1, &f.Label3 })
        EXPECT_EQ(label->Caption(), "0") << label->name();
    for (const TextField* field : { &f.Text12, &f.Text13 })
        EXPECT_EQ(field->Text(), "0") << field->name();
    EXPECT_TRUE(f.RichTextBox1.Text().isEmpty());
    EXPECT_EQ(std::tuple(f.Frame4.Visible(), f.Frame5.Visible(), f.Frame8.Visible()), std::tuple(1, 0, 0));
    EXPECT_EQ(std::tuple(f.Check4.Value(), f.Check5.Value(), f.Option1.Value(), f.Option2.Value()),
        std::tuple(1, 0, false, true));
    EXPECT_EQ(f.Text6.Text(), f.List6.List(0));
    EXPECT_TRUE(f.List6.List(0).startsWith("http://"));
    EXPECT_EQ(f.Text4.Text(), "Tarnwick/1.0 (+" + f.List6.List(0) + ")");
    for (const auto& [box, text] : { std::pair { &f.Combo1, "United Kingdom" }, { &f.Combo2, "60" },
             { &f.Combo3, "5" }, { &f.Combo6, "Default Font" }, { &f.Combo7, "None" }, { &f.Combo8, "1" },
             { &f.Combo9, "0" }, { &f.Combo10, "2" } }) {
        EXPECT_EQ(box->Text(), text) << box->name();
        EXPECT_TRUE(box->items().contains(text)) << box->name() << ": the default is one of its choices";
    }
    EXPECT_EQ(f.RichTextBox2.Text(), defaultTemplate());
    EXPECT_TRUE(f.Text16.Text().startsWith("DISCLAIMER:\r\nUse of Tarnwick is\r\n"));
    // Editable: typed text that is not an item stays.
    f.Combo3.setText("12");
    EXPECT_EQ(f.Combo3.Text(), "12");
}

TEST(ControlRules, LengthCheckBoxOptionGroupAndRevisions)
{
    TestWindow w;
    Form1& f = w.f();
    f.Text14.setText(QString(60, 'x'));
    EXPECT_EQ(f.Text14.Text(), QString(50, 'x')) << "maximum length cuts assigned text";

    int runs = 0;
    f.Check8.onClick = [&] { ++runs; };
    for (int value : { 0, 1, 1 })
        f.Check8.setValue(value);
    EXPECT_EQ(runs, 1) << "the handler runs only on a change";
    f.Check8.click();
    EXPECT_EQ(f.Check8.Value(), 0);
    EXPECT_EQ(runs, 2);

    // The window redraws a control only when its revision moves, so every change must move it.
    const std::pair<const Control*, std::function<void()>> changes[]
        = { { &f.Frame5, [&] { f.Frame5.setVisible(true); } }, { &f.Text14, [&] { f.Text14.setText("y"); } },
              { &f.Label3, [&] { f.Label3.setCaption("7"); } },
              { &f.Label4, [&] { f.Label4.setBackColor(0xFF); } },
              { &f.Check8, [&] { f.Check8.setValue(1); } }, { &f.Option2, [&] { f.Option1.setValue(true); } },
              { &f.Option2, [&] { f.Option2.setValue(true); } },
              { &f.Combo3, [&] { f.Combo3.setText("9"); } }, { &f.Combo3, [&] { f.Combo3.AddItem("99"); } },
              { &f.RichTextBox1, [&] { f.RichTextBox1.setText("a"); } },
              { &f.RichTextBox1, [&] { f.RichTextBox1.appendText("b"); } },
              { &f.RichTextBox1, [&] { f.RichTextBox1.setSelStart(1); } },
              { &f.List1, [&] { f.List1.AddItem("x"); } }, { &f.List1, [&] { f.List1.setListIndex(0); } },
              { &f.List1, [&] { f.List1.setList(0, "y"); } }, { &f.List1, [&] { f.List1.RemoveItem(0); } },
              { &f.List1, [&] { f.List1.replaceAll({ "z" }); } }, { &f.List1, [&] { f.List1.Clear(); } } };
    for (const auto& [control, change] : changes) {
        const auto before = control->revision();
        change();
        EXPECT_GT(control->revision(), before) << control->name();
    }

    const auto layout = f.List1.layoutRevision();
    for (int i = 0; i < 30000; ++i)
        f.List1.AddItem(QString::number(i));
    EXPECT_EQ(f.List1.layoutRevision(), layout) << "appends only";
    f.List1.RemoveItem(0);
    EXPECT_GT(f.List1.layoutRevision(), layout);
    for (const int outside : { -2, f.List1.ListCount() }) {
        f.List1.setListIndex(outside);
        EXPECT_EQ(f.List1.ListIndex(), -1) << "nothing selected, not " << outside;
    }
}

// Every row of the record-option interlock table, from the user's action.
TEST(RecordOptions, InterlockTable)
{
    // The boxes before the action (Option2 is the other option), the action, the boxes after it.
    using Row = std::tuple<const char*, int, int, int, std::function<void(Form1&)>, int, int, int>;
    const auto click4 = [](Form1& f) { f.Check4.click(); };
    const auto click5 = [](Form1& f) { f.Check5.click(); };
    const auto option1 = [](Form1& f) { f.Option1.click(); };
    const Row rows[] = {
        { "check Check4 while Check5 checked", 0, 1, 0, click4, 1, 0, 0 },
        { "check Check5 while Check4 checked", 1, 0, 0, click5, 0, 1, 0 },
        { "check Check5 while Check4 unchecked", 0, 0, 1, click5, 0, 1, 0 },
        { "uncheck Check5", 0, 1, 1, click5, 0, 0, 0 },
        { "check Check4, Check5 unchecked", 0, 0, 1, click4, 1, 0, 1 },
        { "uncheck Check4, Check5 unchecked", 1, 0, 1, click4, 0, 0, 1 },
        { "select Option1 while Check5 checked", 0, 1, 0, option1, 1, 0, 0 },
        { "select Option1 while Check5 unchecked", 1, 0, 0, option1, 1, 0, 1 },
        { "select Option1 with neither checked", 0, 0, 0, option1, 0, 0, 1 },
        { "select Option2", 1, 0, 1, [](Form1& f) { f.Option2.click(); }, 1, 0, 0 },
    };
    for (const auto& [name, check4, check5, selected1, act, wantCheck4, wantCheck5, wantOption1] : rows) {
        TestWindow w;
        Form1& f = w.f();
        // Arrange without running handlers.
        std::function<void()>* handlers[] = { &f.Check4.onClick, &f.Check5.onClick, &f.Option1.onClick };
        std::function<void()> kept[3];
        for (int i = 0; i < 3; ++i)
            kept[i] = std::exchange(*handlers[i], nullptr);
        f.Check4.setValue(check4);
        f.Check5.setValue(check5);
        (selected1 ? f.Option1 : f.Option2).setValue(true);
        for (int i = 0; i < 3; ++i)
            *handlers[i] = kept[i];

        act(f);
        EXPECT_EQ(std::tuple(f.Check4.Value(), f.Check5.Value(), f.Option1.Value(), f.Option2.Value()),
            std::tuple(wantCheck4, wantCheck5, wantOption1, 1 - wantOption1))
            << name;
    }
}

TEST(SmallHandlers, DoubleClickDeletesTheSelectedEntryUnlessRandomising)
{
    TestWindow w;
    Form1& f = w.f();
    f.List1.replaceAll({ "a", "b", "c", "d", "e" });
    f.List1.setListIndex(2);
    List1_DblClick(f);
    EXPECT_EQ(f.List1.items(), QStringList({ "a", "b", "d", "e" }));
    EXPECT_EQ(f.Label1.Caption(), "4");

    f.Label1.setCaption("x");
    List1_DblClick(f);
    EXPECT_EQ(f.List1.ListCount(), 4) << "nothing selected: nothing removed";
    EXPECT_EQ(f.Label1.Caption(), "4") << "but the caption is refreshed";

    f.List1.setListIndex(0);
    f.activity = Activity::Randomise;
    List1_DblClick(f);
    EXPECT_EQ(f.List1.ListCount(), 4) << "the randomiser owns the list";

    f.activity = Activity::None;
    List1_DblClick(f);
    EXPECT_EQ(f.List1.items(), QStringList({ "b", "d", "e" })) << "the first entry too";
    f.List1.Clear();
    f.Label1.setCaption("7");
    List1_DblClick(f);
    EXPECT_EQ(f.Label1.Caption(), "7") << "an empty list: not even the caption changes";
}

TEST(SmallHandlers, QuitAsksOnceOnlyWhenARunOrUnsavedSpiderDataWouldBeLost)
{
    const auto data = [](TestWindow& w) { w.f().RichTextBox1.appendText("T\r\nD\r\n"); };
    const auto saved = [data](TestWindow& w) {
        data(w);
        w.p.answerDialog(w.path("run.sdata"));
        mnuSaveSpiderData_Click(w.f(), w.p);
    };
    const QString unsaved = "Quit and lose the spider data not yet saved?";
    std::tuple<const char*, std::function<void(TestWindow&)>, std::deque<bool>, QString, bool> rows[] = {
        { "nothing to lose", [](TestWindow&) {}, {}, {}, true },
        { "spider run, No", [](TestWindow& w) { w.f().activity = Activity::Spider; }, { false },
            "Quit and lose the spider run in progress?", false },
        { "unsaved data, Yes", data, { true }, unsaved, true },
        { "a request in flight",
            [](TestWindow& w) { w.f().Inet1->Execute("http://a.example/", "GET", {}, {}); }, {}, {}, true },
        { "data saved", saved, {}, {}, true },
        { "data opened",
            [saved](TestWindow& w) {
                saved(w), mnuClearSpiderData_Click(w.f(), w.p), w.p.answerDialog(w.path("run.sdata"));
                mnuOpenSpiderData_Click(w.f(), w.p);
            },
            {}, {}, true },
        { "changed after the save", [saved](TestWindow& w) { saved(w), w.f().RichTextBox1.appendText("x"); },
            {}, unsaved, false },
    };
    for (const auto& [name, state, answers, question, quits] : rows) {
        TestWindow w;
        state(w);
        w.p.yesNoAnswers = answers;
        mnuQuit_Click(w.f(), w.p);
        EXPECT_EQ(w.p.questions, question.isEmpty() ? QStringList() : QStringList { question }) << name;
        EXPECT_EQ(w.p.unloaded(), quits) << name;
        EXPECT_FALSE(w.f().Inet1->StillExecuting()) << name << ": nothing left in flight";
    }
}

TEST(SmallHandlers, AboutNamesVersionQtReadmeAndTheJournalFolder)
{
    TestWindow w;
    const char* const names[] = { "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME" };
    QByteArray kept[3];
    for (int i = 0; i < 3; ++i)
        kept[i] = qgetenv(names[i]), qputenv(names[i], "."); // ignored: a folder, but not absolute
    EXPECT_EQ(stateFolder(), QDir::homePath() + "/.local/state/tarnwick");
    EXPECT_EQ(InstanceSetup::standard().runtimeFolder, stateFolder());
    EXPECT_EQ(InstanceSetup::standard().userSettings, QDir::homePath() + "/.config/tarnwick/searx.yml");
    qputenv("XDG_STATE_HOME", "/var/state");
    mnuAbout_Click(w.f(), w.p);
    const QStringList lines = w.p.messages.value(0).split('\n');
    EXPECT_TRUE(lines.value(0).startsWith("Tarnwick ")) << lines.value(0).toStdString();
    EXPECT_EQ(lines.value(1), "Built with Qt " QT_VERSION_STR);
    EXPECT_EQ(lines.value(4), "Run journal: /var/state/tarnwick");
    for (int i = 0; i < 3; ++i)
        kept[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], kept[i]);

    // Go To Help opens the README that About names with the desktop's handler; without one, names the file.
    const QString manual = manualPath();
    EXPECT_EQ(lines.value(3), "README: " + manual);
    EXPECT_TRUE(manual.endsWith("/README.md")) << manual.toStdString();
    for (const bool opens : { true, false }) {
        w.p.messages.clear(), w.p.opened.clear(), w.p.opens = opens;
        mnuGoToHelp_Click(w.f(), w.p);
        EXPECT_EQ(w.p.opened, QStringList { QUrl::fromLocalFile(manual).toString() }) << opens;
        EXPECT_EQ(w.p.messages.join(""),
            opens ? ""
                  : "No program to show the manual could be started. The manual is the file " + manual + ".");
    }
}

TEST(TextOps, AppPathNumbersRoundingTrimAndCaseFreeSplits)
{
    test::FakePlatform p;
    for (const auto& [folder, path] : { std::pair { "/opt/tarnwick", "/opt/tarnwick/" },
             { "/opt/tarnwick/", "/opt/tarnwick/" }, { "/", "/" } }) {
        p.folder = folder;
        EXPECT_EQ(AppPath(p), path) << folder;
    }
    const std::pair<const char*, double> numbers[]
        = { { "  90abc", 90 }, { "-3.5", -3.5 }, { "1e09x", 1e9 }, { "2e", 2 }, { "5E+1", 50 },
              { "2e-1", 0.2 }, { "1.2.3", 1.2 }, { "abc", 0 }, { "", 0 }, { "-.e5", 0 }, { "1e999", 0 } };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(Val(text), value) << text;
    for (const auto& [x, rounded] : { std::pair { 2.5, 2 }, { 3.5, 4 }, { -0.5, 0 } })
        EXPECT_EQ(roundHalfEven(x), rounded) << x;
    EXPECT_EQ(trimSpaces("\t a b  "), "\t a b");
    EXPECT_EQ(replaceNoCase("A</BODY>b</body>", "</body>", "x"), "Axbx");
    EXPECT_EQ(splitNoCase("a - b - c", " - "), QStringList({ "a", "b", "c" }));
    EXPECT_EQ(splitNoCase("Big  Sale", " "), QStringList({ "Big", "", "Sale" }));
}

} // namespace
} // namespace tarnwick
