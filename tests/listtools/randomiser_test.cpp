#include "app/small_handlers.h"
#include "listtools/randomiser.h"
#include "support/test_window.h"

#include <gtest/gtest.h>

#include <deque>

namespace tarnwick {
namespace {

using test::FakePlatform;
using test::TestWindow;

TEST(Randomiser, DrawsInTheGeneratorsOrderThenTheRestInOldOrder)
{
    const QStringList scrambled { "Entries scrambled!" };
    const struct {
        const char* name;
        QStringList entries;
        std::deque<double> rnd; // the last value is never drawn
        QStringList result;
        QStringList messages;
        Activity running = Activity::None;
        bool quit = false;
    } cases[] = {
        // n = 5, t = 3: four distinct positions, repeats ignored: 3, 3, 0, 3, 4, 2; then 1.
        { "five, duplicates kept", { "a", "b", "a", "c", "d" }, { 0.6, 0.65, 0.1, 0.7, 0.9, 0.5, 0.3 },
            { "c", "a", "d", "a", "b" }, scrambled },
        { "ten: eight drawn, two left", { "0", "1", "2", "3", "4", "5", "6", "7", "8", "9" },
            { 0.35, 0.95, 0.05, 0.65, 0.15, 0.85, 0.45, 0.75, 0.5 },
            { "3", "9", "0", "6", "1", "8", "4", "7", "2", "5" }, scrambled },
        // 1.0, which a generator may give by rounding, draws no place past the end.
        { "two swapped", { "a", "b" }, { 1.0, 0.9, 0.1, 0.5 }, { "b", "a" }, scrambled },
        { "one entry", { "a" }, { 0.5, 0.5 }, { "a" }, scrambled },
        { "empty list", {}, { 0.5 }, {}, { "No URLs!" } },
        { "while the spider runs", { "a", "b" }, { 0.5 }, { "a", "b" }, {}, Activity::Spider },
        { "quit at the first pump", { "a", "b" }, { 0.5 }, { "a", "b" }, {}, Activity::None, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestWindow w;
        Form1& f = w.f();
        f.List1.replaceAll(c.entries);
        f.List4.AddItem("left by an interrupted run");
        w.p.rndValues = c.rnd;
        QStringList captions;
        w.p.onPump = [&](int) {
            captions.append(f.Label17.Caption());
            // Marks the list as its own, so a double-click cannot delete from it meanwhile.
            EXPECT_EQ(f.activity, Activity::Randomise);
            if (c.quit)
                w.p.Unload();
        };
        ActivityScope other(f, c.running);
        Command4_Click(f, w.p);
        const bool ran = c.messages == scrambled || c.quit;
        EXPECT_EQ(f.List1.items(), c.result);
        EXPECT_EQ(w.p.messages, c.messages);
        EXPECT_EQ(w.p.rndValues.size(), 1u);
        EXPECT_EQ(f.activity, c.running);
        EXPECT_EQ(w.p.randomizeCalls, ran ? 1 : 0);
        EXPECT_EQ(f.List4.ListCount(), ran ? 0 : 1);
        EXPECT_EQ(captions.value(0), "") << "events run before the first draw";
        if (c.messages == scrambled)
            EXPECT_EQ(f.List3.ListCount() + f.Label17.Caption().size(), 0);
        if (c.quit)
            EXPECT_EQ(w.p.pumps, 1);
    }
}

/// Records the randomiser's caption, scratch lists and progress at every repaint. Its clock
/// runs `tickMs` per reading, so with a second every look at the clock finds a repaint due.
struct RecordingPlatform : FakePlatform {
    struct Seen {
        QString caption;
        qsizetype keys, scrambled;
        QString lastScrambled;
        RandomiserPhase phase;
        qsizetype done, steps;
    };
    std::vector<Seen> seen;
    Form1* form = nullptr;
    qint64 tickMs = 1000;
    void Refresh() override
    {
        const ListBox& b = form->List4;
        const RunProgress& r = form->progress;
        seen.push_back({ form->Label17.Caption(), form->List3.ListCount(), b.ListCount(),
            b.ListCount() ? b.List(b.ListCount() - 1) : QString(), r.randomiserPhase, r.randomiserDone,
            r.randomiserSteps });
    }
    QDateTime now() override { return clock = clock.addMSecs(tickMs); }
};

TEST(Randomiser, CaptionsAndProgressFollowThePhasesInOrder)
{
    TestWindow w;
    w.fillUrls(200);
    w.f().List3.AddItem(" 7 "); // left by an interrupted run
    RecordingPlatform p;
    p.form = &w.f();
    p.rndValues = { 0.9 };
    Command4_Click(w.f(), p);
    ASSERT_GT(p.seen.size(), 6u);
    EXPECT_EQ(p.seen.front().caption, "Randomising:  180 ") << "the key is the position between two spaces";
    EXPECT_EQ(p.seen.front().steps, 200) << "every position is drawn";
    int phase = 0, phasesShown = 0;
    for (const auto& s : p.seen) {
        SCOPED_TRACE(s.caption.toStdString());
        const int now = s.caption.startsWith("Randomising: ") ? 0
            : s.caption.startsWith("Scrambling: ")            ? 1
            : s.caption == "Building new list..."             ? 2
                                                              : -1;
        ASSERT_GE(now, phase);
        EXPECT_EQ(static_cast<int>(s.phase), now);
        EXPECT_LE(s.done, s.steps);
        phase = now;
        phasesShown |= 1 << now;
        if (now == 0)
            EXPECT_EQ(s.done, s.keys);
        if (now == 1) {
            EXPECT_EQ(s.caption, "Scrambling: " + s.lastScrambled);
            EXPECT_EQ(s.done, s.scrambled);
        }
        if (now == 2)
            EXPECT_EQ(s.keys, 0) << "scratch list A is emptied before the rebuild";
    }
    EXPECT_EQ(phasesShown, 0b111) << "each phase repaints as it goes";
    EXPECT_EQ(w.f().Label17.Caption(), "");
    EXPECT_GT(p.pumps, 1);
    EXPECT_EQ(w.f().progress.randomiserDone, 200);
    EXPECT_EQ(w.f().progress.randomiserSteps, 200);
    p.onPump = [&w](int) {
        if (w.f().progress.randomiserPhase == RandomiserPhase::Rebuilding)
            w.f().List1.AddItem("added by another command");
    };
    Command4_Click(w.f(), p);
    EXPECT_EQ(p.messages.size(), 1) << "a list changed while it was rebuilt is not called scrambled";
}

TEST(Randomiser, ThirtyThousandEntriesKeepTheirMultiset)
{
    TestWindow w;
    w.fillUrls(30000);
    QStringList old = w.f().List1.items();
    RecordingPlatform p;
    p.form = &w.f();
    p.tickMs = 1;
    Command4_Click(w.f(), p);
    QStringList now = w.f().List1.items();
    EXPECT_NE(now, old);
    now.sort(), old.sort();
    EXPECT_EQ(now, old);
    EXPECT_TRUE(p.pumps > 10 && p.pumps < 400) << "events still run during a long shuffle, once in 16 ms";
    EXPECT_LT(FakePlatform().clock.msecsTo(p.clock), 30000) << "nor the clock read (1 ms each) at every step";
    EXPECT_EQ(p.messages, QStringList { "Entries scrambled!" });
}

} // namespace
} // namespace tarnwick
