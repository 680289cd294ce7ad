#include "app/form1.h"
#include "app/small_handlers.h"
#include "app/startup.h"
#include "listtools/randomiser.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"

#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>

namespace tarnwick {
namespace {

using test::FakePlatform;

struct Window {
    Window()
    {
        form = std::make_unique<Form1>(std::make_unique<test::FakeTransferControl>());
        Form_Load(*form);
    }
    Form1& f() { return *form; }
    void fill(int count)
    {
        QStringList entries;
        for (int i = 0; i < count; ++i)
            entries.append(QString("http://e%1/").arg(i));
        form->List1.replaceAll(entries);
    }
    std::unique_ptr<Form1> form;
    FakePlatform p;
};

TEST(Rand, CoversLowToHighFromTheGenerator)
{
    FakePlatform p;
    p.rndValues = { 0.0, 0.999999, 0.5, 0.24 };
    EXPECT_EQ(Rand(p, 0, 9), 0);
    EXPECT_EQ(Rand(p, 0, 9), 9);
    EXPECT_EQ(Rand(p, 3, 4), 4);
    EXPECT_EQ(Rand(p, -2, 1), -2);
}

TEST(Randomiser, EmptyListSaysNoUrlsAndTouchesNothing)
{
    Window w;
    w.f().List3.AddItem(" 5 ");
    w.f().Label17.setCaption("before");
    Command4_Click(w.f(), w.p);
    EXPECT_EQ(w.p.messages, QStringList { "No URLs!" });
    EXPECT_EQ(w.f().List3.items(), QStringList { " 5 " });
    EXPECT_EQ(w.f().Label17.Caption(), "before");
    EXPECT_EQ(w.p.randomizeCalls, 0);
}

TEST(Randomiser, TwoEntriesComeOutInBothOrders)
{
    QSet<QString> firsts;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        Window w;
        w.fill(2);
        w.p.seed(seed);
        Command4_Click(w.f(), w.p);
        QStringList sorted = w.f().List1.items();
        firsts.insert(sorted.first());
        sorted.sort();
        EXPECT_EQ(sorted, QStringList({ "http://e0/", "http://e1/" })) << "seed " << seed;
        EXPECT_EQ(w.p.messages, QStringList { "Entries scrambled!" }) << "seed " << seed;
    }
    EXPECT_EQ(firsts.size(), 2);
}

TEST(Randomiser, DrawnEntriesFirstThenTheRestInOldOrder)
{
    for (unsigned seed = 1; seed <= 30; ++seed) {
        Window w;
        w.fill(10);
        const QStringList old = w.f().List1.items();
        w.p.seed(seed);
        Command4_Click(w.f(), w.p);
        const QStringList now = w.f().List1.items();
        ASSERT_EQ(now.size(), 10) << "seed " << seed;
        // t = 7: eight drawn entries, then the two left over in their old relative order.
        QSet<QString> drawn(now.begin(), now.begin() + 8);
        EXPECT_EQ(drawn.size(), 8) << "seed " << seed;
        QStringList rest;
        for (const QString& entry : old) {
            if (!drawn.contains(entry))
                rest.append(entry);
        }
        EXPECT_EQ(now.mid(8), rest) << "seed " << seed;
        QStringList sorted = now;
        sorted.sort();
        QStringList oldSorted = old;
        oldSorted.sort();
        EXPECT_EQ(sorted, oldSorted) << "seed " << seed;
        EXPECT_TRUE(w.f().List3.items().isEmpty());
        EXPECT_TRUE(w.f().List4.items().isEmpty());
        EXPECT_EQ(w.f().Label17.Caption(), "");
        EXPECT_EQ(w.f().activity, Activity::None);
        EXPECT_EQ(w.p.randomizeCalls, 1);
    }
}

TEST(Randomiser, DrawsInTheOrderOfTheGeneratorAndKeepsDuplicates)
{
    Window w;
    w.f().List1.replaceAll({ "a", "b", "a", "c", "d" });
    // n = 5, t = 3: four distinct positions, repeats ignored: 3, 3, 0, 3, 4, 2.
    w.p.rndValues = { 0.6, 0.65, 0.1, 0.7, 0.9, 0.5 };
    QStringList captions;
    w.p.onPump = [&](int) { captions.append(w.f().Label17.Caption()); };
    Command4_Click(w.f(), w.p);
    EXPECT_EQ(w.f().List1.items(), QStringList({ "c", "a", "d", "a", "b" }));
    EXPECT_TRUE(w.p.rndValues.empty());
    EXPECT_EQ(captions.value(0), "") << "events run before the first draw";
}

/// Records the randomiser's caption and scratch lists at every repaint; its clock runs a
/// second per reading, so every look at the clock finds a repaint due.
struct RecordingPlatform : FakePlatform {
    struct Seen {
        QString caption;
        qsizetype keys;
        QString lastEntry;
    };
    std::vector<Seen> seen;
    Form1* form = nullptr;
    void Refresh() override
    {
        seen.push_back({ form->Label17.Caption(), form->List3.ListCount(),
            form->List4.ListCount() ? form->List4.List(form->List4.ListCount() - 1) : QString() });
    }
    QDateTime now() override
    {
        clock = clock.addSecs(1);
        return clock;
    }
};

TEST(Randomiser, CaptionsFollowThePhasesInOrder)
{
    Window w;
    w.fill(200);
    RecordingPlatform p;
    p.form = &w.f();
    p.rndValues = { 0.9 };
    Command4_Click(w.f(), p);
    ASSERT_GT(p.seen.size(), 6u);
    EXPECT_EQ(p.seen.front().caption, "Randomising:  180 ") << "the key is the position between two spaces";
    EXPECT_EQ(p.seen.front().keys, 1);
    int phase = 0;
    for (const auto& s : p.seen) {
        const int now = s.caption.startsWith("Randomising: ") ? 0
            : s.caption.startsWith("Scrambling: ")            ? 1
            : s.caption == "Building new list..."             ? 2
                                                              : -1;
        ASSERT_NE(now, -1) << s.caption.toStdString();
        EXPECT_GE(now, phase) << s.caption.toStdString();
        phase = now;
        if (now == 1)
            EXPECT_EQ(s.caption, "Scrambling: " + s.lastEntry);
        if (now == 2)
            EXPECT_EQ(s.keys, 0) << "scratch list A is emptied before the rebuild";
    }
    EXPECT_EQ(phase, 2);
    EXPECT_EQ(w.f().Label17.Caption(), "");
    EXPECT_GT(p.pumps, 1);
}

TEST(Randomiser, OneEntryStaysAndTheCommandEnds)
{
    Window w;
    w.fill(1);
    Command4_Click(w.f(), w.p);
    EXPECT_EQ(w.f().List1.items(), QStringList { "http://e0/" });
    EXPECT_EQ(w.p.messages, QStringList { "Entries scrambled!" });
    EXPECT_TRUE(w.f().List3.items().isEmpty());
}

TEST(Randomiser, UrlListCannotBeChangedWhileItRuns)
{
    Window w;
    w.fill(50);
    w.f().List1.setListIndex(3);
    bool refused = false;
    w.p.onPump = [&](int) {
        List1_DblClick(w.f());
        refused = w.f().List1.ListCount() == 50;
        EXPECT_EQ(w.f().activity, Activity::Randomise);
    };
    Command4_Click(w.f(), w.p);
    EXPECT_TRUE(refused);
    EXPECT_EQ(w.f().List1.ListCount(), 50);
    EXPECT_EQ(w.f().List1.ListIndex(), 3) << "the selection stays where it was";
}

TEST(Randomiser, DoesNothingWhileAnotherRunIsGoing)
{
    Window w;
    w.fill(5);
    const QStringList old = w.f().List1.items();
    ActivityScope spider(w.f(), Activity::Spider);
    Command4_Click(w.f(), w.p);
    EXPECT_EQ(w.f().List1.items(), old);
    EXPECT_TRUE(w.p.messages.isEmpty());
    EXPECT_EQ(w.f().activity, Activity::Spider);
}

TEST(Randomiser, EndsAtOnceAfterQuit)
{
    Window w;
    w.fill(20);
    const QStringList old = w.f().List1.items();
    w.p.onPump = [&](int) { w.p.Unload(); };
    Command4_Click(w.f(), w.p);
    EXPECT_EQ(w.f().List1.items(), old);
    EXPECT_TRUE(w.p.messages.isEmpty());
    EXPECT_EQ(w.p.pumps, 1);
}

TEST(Randomiser, ThirtyThousandEntriesKeepTheirMultiset)
{
    Window w;
    w.fill(30000);
    QStringList old = w.f().List1.items();
    struct TickingPlatform : FakePlatform {
        QDateTime now() override
        {
            clock = clock.addMSecs(1);
            return clock;
        }
    } p;
    Command4_Click(w.f(), p);
    QStringList now = w.f().List1.items();
    EXPECT_NE(now, old);
    std::sort(now.begin(), now.end());
    std::sort(old.begin(), old.end());
    EXPECT_EQ(now, old);
    EXPECT_GT(p.pumps, 10) << "events still run during a long shuffle";
    EXPECT_LT(p.pumps, 30000) << "but not at every step";
    EXPECT_EQ(p.messages, QStringList { "Entries scrambled!" });
}

} // namespace
} // namespace tarnwick
