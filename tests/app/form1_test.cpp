#include "app/app_path.h"
#include "app/form1.h"
#include "app/small_handlers.h"
#include "app/startup.h"
#include "app/text_ops.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::FakePlatform;
using test::FakeTransferControl;

struct Window {
    Window()
    {
        auto inet = std::make_unique<FakeTransferControl>();
        transfer = inet.get();
        form = std::make_unique<Form1>(std::move(inet));
        Form_Load(*form);
    }
    Form1& f() { return *form; }
    FakeTransferControl* transfer;
    std::unique_ptr<Form1> form;
    FakePlatform p;
};

TEST(StartUp, ControlsHoldTheirDefaults)
{
    Window w;
    Form1& f = w.f();
    EXPECT_EQ(f.Caption(), "Tarnwick");
    EXPECT_EQ(f.Label7.Caption(), "0");
    EXPECT_EQ(f.Label1.Caption(), "0");
    EXPECT_EQ(f.Label3.Caption(), "0");
    EXPECT_TRUE(f.RichTextBox1.Text().isEmpty());
    EXPECT_TRUE(f.Frame4.Visible());
    EXPECT_FALSE(f.Frame5.Visible());
    EXPECT_FALSE(f.Frame8.Visible());
    EXPECT_EQ(f.Check4.Value(), 1);
    EXPECT_EQ(f.Check5.Value(), 0);
    EXPECT_TRUE(f.Option2.Value());
    EXPECT_FALSE(f.Option1.Value());
    EXPECT_EQ(f.Text12.Text(), "0");
    EXPECT_EQ(f.Text13.Text(), "0");
    EXPECT_EQ(f.Text6.Text(), f.List6.List(0));
    EXPECT_EQ(f.Text4.Text(), "Tarnwick/1.0 (+" + f.List6.List(0) + ")");
    EXPECT_EQ(f.CDialog1.Filter, "Keywords (*.kwrds)|*.kwrds");
    EXPECT_EQ(f.CDialog2.Filter, "URLs (*.urls)|*.urls");
}

TEST(StartUp, CombosShowTheirTextAndItems)
{
    Window w;
    Form1& f = w.f();
    EXPECT_EQ(f.Combo1.Text(), "United Kingdom");
    EXPECT_EQ(f.Combo1.items(),
        QStringList({ "United States", "United Kingdom", "Germany", "Spain", "France", "Italy", "Japan",
            "Korea", "Netherlands" }));
    EXPECT_EQ(f.Combo2.Text(), "60");
    EXPECT_EQ(f.Combo2.ListCount(), 13);
    EXPECT_EQ(f.Combo2.List(12), "100");
    EXPECT_EQ(f.Combo3.Text(), "5");
    EXPECT_EQ(f.Combo3.ListCount(), 16);
    EXPECT_EQ(f.Combo6.Text(), "Default Font");
    EXPECT_EQ(f.Combo6.List(6), "Geneva, Arial, Helvetica, san-serif");
    EXPECT_EQ(f.Combo6.ListCount(), 8);
    EXPECT_EQ(f.Combo7.Text(), "None");
    EXPECT_EQ(f.Combo7.ListCount(), 22);
    EXPECT_EQ(f.Combo7.List(21), "-7");
    // Editable: typed text that is not an item stays.
    f.Combo3.setText("12");
    EXPECT_EQ(f.Combo3.Text(), "12");
}

TEST(StartUp, BacklinksTemplateAndDisclaimer)
{
    Window w;
    Form1& f = w.f();
    EXPECT_EQ(f.List6.ListCount(), 16);
    EXPECT_TRUE(f.List6.List(0).startsWith("http://"));
    EXPECT_EQ(f.RichTextBox2.Text(),
        "<html>\r\n<head>\r\n<title>!@@!</title>\r\n</head>\r\n\r\n<body>\r\n\r\n<h1>!%%!</"
        "h1>\r\n\r\n\r\n\r\n"
        "!##!\r\n\r\n\r\n\r\n</body>\r\n</html>");
    const QStringList lines = f.Text16.Text().split("\r\n");
    ASSERT_EQ(lines.size(), 10); // nine lines, each ended by CR LF
    EXPECT_TRUE(lines.last().isEmpty());
    EXPECT_EQ(lines.first(), "DISCLAIMER:");
    EXPECT_TRUE(f.Text16.Text().contains("Tarnwick"));
}

TEST(ControlRules, MaximumLengthCutsAssignedText)
{
    Window w;
    w.f().Text14.setText(QString(60, 'x'));
    EXPECT_EQ(w.f().Text14.Text(), QString(50, 'x'));
}

TEST(ControlRules, CheckBoxRunsHandlerOnlyOnChange)
{
    Window w;
    CheckBox& box = w.f().Check8;
    int runs = 0;
    box.onClick = [&] { ++runs; };
    box.setValue(0);
    EXPECT_EQ(runs, 0);
    box.setValue(1);
    EXPECT_EQ(runs, 1);
    box.setValue(1);
    EXPECT_EQ(runs, 1);
    box.click();
    EXPECT_EQ(box.Value(), 0);
    EXPECT_EQ(runs, 2);
}

TEST(ControlRules, OptionGroupAndRevisions)
{
    Window w;
    Form1& f = w.f();
    const auto before = f.Option2.revision();
    f.Option1.setValue(true);
    EXPECT_TRUE(f.Option1.Value());
    EXPECT_FALSE(f.Option2.Value());
    EXPECT_GT(f.Option2.revision(), before);

    const auto listRevision = f.List1.revision();
    const auto layout = f.List1.layoutRevision();
    for (int i = 0; i < 30000; ++i)
        f.List1.AddItem(QString::number(i));
    EXPECT_GT(f.List1.revision(), listRevision);
    EXPECT_EQ(f.List1.layoutRevision(), layout); // appends only
    f.List1.RemoveItem(0);
    EXPECT_GT(f.List1.layoutRevision(), layout);
}

// Every row of the record-option interlock table, from the user's action.
TEST(RecordOptions, InterlockTable)
{
    struct Row {
        const char* name;
        int check4, check5;
        bool option1;
        std::function<void(Form1&)> act;
        int wantCheck4, wantCheck5;
        bool wantOption1, wantOption2;
    };
    const Row rows[] = {
        { "check Check4 while Check5 checked", 0, 1, false, [](Form1& f) { f.Check4.click(); }, 1, 0, false,
            true },
        { "check Check5 while Check4 checked", 1, 0, false, [](Form1& f) { f.Check5.click(); }, 0, 1, false,
            true },
        { "check Check5 while Check4 unchecked", 0, 0, true, [](Form1& f) { f.Check5.click(); }, 0, 1, false,
            true },
        { "uncheck Check5", 0, 1, true, [](Form1& f) { f.Check5.click(); }, 0, 0, false, true },
        { "check Check4, Check5 unchecked", 0, 0, true, [](Form1& f) { f.Check4.click(); }, 1, 0, true,
            false },
        { "uncheck Check4, Check5 unchecked", 1, 0, true, [](Form1& f) { f.Check4.click(); }, 0, 0, true,
            false },
        { "select Option1 while Check5 checked", 0, 1, false, [](Form1& f) { f.Option1.click(); }, 1, 0,
            false, true },
        { "select Option1 while Check5 unchecked", 1, 0, false, [](Form1& f) { f.Option1.click(); }, 1, 0,
            true, false },
        { "select Option2", 1, 0, true, [](Form1& f) { f.Option2.click(); }, 1, 0, false, true },
    };
    for (const Row& row : rows) {
        Window w;
        Form1& f = w.f();
        // Arrange without running handlers.
        const auto keep4 = std::exchange(f.Check4.onClick, nullptr);
        const auto keep5 = std::exchange(f.Check5.onClick, nullptr);
        const auto keep1 = std::exchange(f.Option1.onClick, nullptr);
        f.Check4.setValue(row.check4);
        f.Check5.setValue(row.check5);
        (row.option1 ? f.Option1 : f.Option2).setValue(true);
        f.Check4.onClick = keep4;
        f.Check5.onClick = keep5;
        f.Option1.onClick = keep1;

        row.act(f);
        EXPECT_EQ(f.Check4.Value(), row.wantCheck4) << row.name;
        EXPECT_EQ(f.Check5.Value(), row.wantCheck5) << row.name;
        EXPECT_EQ(f.Option1.Value(), row.wantOption1) << row.name;
        EXPECT_EQ(f.Option2.Value(), row.wantOption2) << row.name;
    }
}

TEST(RecordOptions, Option1TwiceStaysSelected)
{
    Window w;
    Form1& f = w.f();
    f.Check5.setValue(1);
    f.Option1.click();
    EXPECT_EQ(f.Check4.Value(), 1);
    EXPECT_EQ(f.Check5.Value(), 0);
    EXPECT_TRUE(f.Option2.Value());
    f.Option1.click();
    EXPECT_TRUE(f.Option1.Value());
}

TEST(SmallHandlers, PanelsSwapAndDisclaimer)
{
    Window w;
    Form1& f = w.f();
    mnuShowSpider_Click(f);
    EXPECT_TRUE(f.Frame4.Visible());
    EXPECT_FALSE(f.Frame5.Visible());
    mnuShowTemplate_Click(f);
    mnuShowTemplate_Click(f);
    EXPECT_FALSE(f.Frame4.Visible());
    EXPECT_TRUE(f.Frame5.Visible());
    mnuShowSpider_Click(f);
    EXPECT_TRUE(f.Frame4.Visible());
    EXPECT_FALSE(f.Frame5.Visible());
    mnuDisclaimer_Click(f);
    EXPECT_TRUE(f.Frame8.Visible());
    Command7_Click(f);
    EXPECT_FALSE(f.Frame8.Visible());
    mnuGoToHelp_Click(f, w.p);
    ASSERT_EQ(w.p.opened.size(), 1);
    EXPECT_TRUE(w.p.opened[0].startsWith("http://"));
}

TEST(SmallHandlers, DoubleClickDeletesTheSelectedEntry)
{
    Window w;
    Form1& f = w.f();
    for (const char* url : { "a", "b", "c", "d", "e" })
        f.List1.AddItem(url);
    f.List1.setListIndex(2);
    List1_DblClick(f);
    EXPECT_EQ(f.List1.items(), QStringList({ "a", "b", "d", "e" }));
    EXPECT_EQ(f.Label1.Caption(), "4");

    // Nothing selected: nothing removed, caption refreshed.
    f.Label1.setCaption("x");
    List1_DblClick(f);
    EXPECT_EQ(f.List1.ListCount(), 4);
    EXPECT_EQ(f.Label1.Caption(), "4");

    // Empty list: not even the caption changes.
    f.List1.Clear();
    f.Label1.setCaption("7");
    List1_DblClick(f);
    EXPECT_EQ(f.Label1.Caption(), "7");
}

TEST(SmallHandlers, DoubleClickLeavesTheListAloneWhileRandomising)
{
    Window w;
    Form1& f = w.f();
    f.List1.AddItem("a");
    f.List1.setListIndex(0);
    ActivityScope busy(f, Activity::Randomise);
    List1_DblClick(f);
    EXPECT_EQ(f.List1.ListCount(), 1);
}

TEST(SmallHandlers, StopAllOnlySetsTheFlag)
{
    Window w;
    Form1& f = w.f();
    f.Label3.setCaption("1");
    w.transfer->answer("http://x/", "body");
    f.Inet1->Execute("http://x/", "GET", {}, {});
    mnuStopAll_Click(f);
    EXPECT_EQ(f.Label3.Caption(), "0");
    EXPECT_TRUE(f.Inet1->StillExecuting());
    EXPECT_EQ(w.transfer->cancels, 0);
    EXPECT_TRUE(w.p.messages.isEmpty());
}

TEST(SmallHandlers, QuitCancelsAndEndsAWaitingLoop)
{
    Window w;
    Form1& f = w.f();
    w.transfer->answer("http://slow/", "never read");
    f.Inet1->Execute("http://slow/", "GET", {}, {});
    // A loop waiting on events: Quit arrives during one of its pumps.
    w.p.onPump = [&](int pump) {
        if (pump == 3)
            mnuQuit_Click(f, w.p);
    };
    int turns = 0;
    while (w.p.DoEvents())
        ++turns;
    EXPECT_EQ(turns, 2);
    EXPECT_TRUE(w.p.unloaded());
    EXPECT_EQ(w.transfer->cancels, 1);
    EXPECT_FALSE(f.Inet1->StillExecuting());
    EXPECT_FALSE(w.p.DoEvents());
}

TEST(AppPathRule, EndsInExactlyOneSeparator)
{
    FakePlatform p;
    p.folder = "/opt/tarnwick";
    EXPECT_EQ(AppPath(p), "/opt/tarnwick/");
    p.folder = "/opt/tarnwick/";
    EXPECT_EQ(AppPath(p), "/opt/tarnwick/");
    p.folder = "/";
    EXPECT_EQ(AppPath(p), "/");
}

TEST(TextOps, NumberOfAText)
{
    EXPECT_EQ(Val("  12abc"), 12);
    EXPECT_EQ(Val("-3.5"), -3.5);
    EXPECT_EQ(Val("1e3x"), 1000);
    EXPECT_EQ(Val("2e"), 2);
    EXPECT_EQ(Val("1.2.3"), 1.2);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(trimSpaces("\t a b  "), "\t a b");
    EXPECT_EQ(replaceNoCase("A</BODY>b</body>", "</body>", "x"), "Axbx");
    EXPECT_EQ(splitNoCase("a - b - c", " - "), QStringList({ "a", "b", "c" }));
    EXPECT_EQ(splitNoCase("Big  Sale", " "), QStringList({ "Big", "", "Sale" }));
}

} // namespace
} // namespace tarnwick
