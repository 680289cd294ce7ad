#include "app/small_handlers.h"
#include "listtools/randomiser.h"
#include "support/test_window.h"

#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>

namespace tarnwick {
namespace {

using test::FakePlatform;
using test::TestWindow;

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

TEST(Rand, CoversLowToHighFromTheGenerator)
{
    FakePlatform p;
    p.rndValues = { 0.0, 0.999999, 0.5, 0.24 };
    EXPECT_EQ(Rand(p, 0, 9), 0);
    EXPECT_EQ(Rand(p, 0, 9), 9);
    EXPECT_EQ(Rand(p, 3, 4), 4);
    EXPECT_EQ(Rand(p, -2, 1), -2);
}

TEST(Randomiser, DrawnEntriesFirstThenTheRestInOldOrder)
{
    QSet<QString> firstOfTwo;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        TestWindow w;
        w.fillUrls(2);
        w.p.seed(seed);
        Command4_Click(w.f(), w.p);
        firstOfTwo.insert(w.f().List1.List(0));
        EXPECT_EQ(sorted(w.f().List1.items()), QStringList({ "http://e0/", "http://e1/" }))
            << "seed " << seed;

        w.fillUrls(10);
        const QStringList old = w.f().List1.items();
        Command4_Click(w.f(), w.p);
        const QStringList now = w.f().List1.items();
        ASSERT_EQ(sorted(now), sorted(old)) << "seed " << seed;
        // t = 7: eight drawn entries, then the two left over in their old relative order.
        const QSet<QString> drawn(now.begin(), now.begin() + 8);
        QStringList rest;
        std::copy_if(
            old.begin(), old.end(), std::back_inserter(rest), [&](auto& e) { return !drawn.contains(e); });
        EXPECT_EQ(now.mid(8), rest) << "seed " << seed;
        EXPECT_TRUE(w.f().List3.items().isEmpty());
        EXPECT_TRUE(w.f().List4.items().isEmpty());
        EXPECT_EQ(w.f().Label17.Caption(), "");
        EXPECT_EQ(w.f().activity, Activity::None);
        EXPECT_EQ(w.p.randomizeCalls, 2);
        EXPECT_EQ(w.p.messages, QStringList(2, "Entries scrambled!")) << "seed " << seed;
    }
    EXPECT_EQ(firstOfTwo.size(), 2) << "two entries come out in both orders";
}

TEST(Randomiser, DrawsInTheOrderOfTheGeneratorAndKeepsDuplicates)
{
    TestWindow w;
    w.f().List1.replaceAll({ "a", "b", "a", "c", "d" });
    // n = 5, t = 3: four distinct positions, repeats ignored: 3, 3, 0, 3, 4, 2.
    w.p.rndValues = { 0.6, 0.65, 0.1, 0.7, 0.9, 0.5 };
    QStringList captions;
    w.p.onPump = [&](int) {
        captions.append(w.f().Label17.Caption());
        // Marks the list as its own, so a double-click cannot delete from it meanwhile.
        EXPECT_EQ(w.f().activity, Activity::Randomise);
    };
    Command4_Click(w.f(), w.p);
    EXPECT_EQ(w.f().List1.items(), QStringList({ "c", "a", "d", "a", "b" }));
    EXPECT_TRUE(w.p.rndValues.empty());
    EXPECT_EQ(captions.value(0), "") << "events run before the first draw";
}

TEST(Randomiser, NoEntriesOneEntryAnotherRunOrQuit)
{
    const struct {
        const char* name;
        int entries;
        Activity running;
        bool quit;
        QStringList messages;
    } cases[] = {
        { "empty list", 0, Activity::None, false, { "No URLs!" } },
        { "one entry", 1, Activity::None, false, { "Entries scrambled!" } },
        { "while the spider runs", 5, Activity::Spider, false, {} },
        { "quit at the first pump", 20, Activity::None, true, {} },
    };
    for (const auto& c : cases) {
        TestWindow w;
        w.fillUrls(c.entries);
        const QStringList old = w.f().List1.items();
        if (c.entries == 0) {
            w.f().List3.AddItem(" 5 ");
            w.f().Label17.setCaption("before");
        }
        if (c.quit)
            w.p.onPump = [&](int) { w.p.Unload(); };
        ActivityScope other(w.f(), c.running);
        Command4_Click(w.f(), w.p);
        EXPECT_EQ(w.f().List1.items(), old) << c.name;
        EXPECT_EQ(w.p.messages, c.messages) << c.name;
        EXPECT_EQ(w.f().activity, c.running) << c.name;
        if (c.entries == 0) {
            EXPECT_EQ(w.f().List3.items(), QStringList { " 5 " });
            EXPECT_EQ(w.f().Label17.Caption(), "before");
            EXPECT_EQ(w.p.randomizeCalls, 0);
        }
        if (c.entries == 1)
            EXPECT_TRUE(w.f().List3.items().isEmpty());
        if (c.quit)
            EXPECT_EQ(w.p.pumps, 1);
    }
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
        const ListBox& b = form->List4;
        seen.push_back({ form->Label17.Caption(), form->List3.ListCount(),
            b.ListCount() ? b.List(b.ListCount() - 1) : QString() });
    }
    QDateTime now() override
    {
        clock = clock.addSecs(1);
        return clock;
    }
};

TEST(Randomiser, CaptionsFollowThePhasesInOrder)
{
    TestWindow w;
    w.fillUrls(200);
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

TEST(Randomiser, ThirtyThousandEntriesKeepTheirMultiset)
{
    TestWindow w;
    w.fillUrls(30000);
    const QStringList old = w.f().List1.items();
    struct TickingPlatform : FakePlatform {
        QDateTime now() override
        {
            clock = clock.addMSecs(1);
            return clock;
        }
    } p;
    Command4_Click(w.f(), p);
    EXPECT_NE(w.f().List1.items(), old);
    EXPECT_EQ(sorted(w.f().List1.items()), sorted(old));
    EXPECT_GT(p.pumps, 10) << "events still run during a long shuffle";
    EXPECT_LT(p.pumps, 30000) << "but not at every step";
    EXPECT_EQ(p.messages, QStringList { "Entries scrambled!" });
}

} // namespace
} // namespace tarnwick
