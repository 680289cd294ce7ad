#include "listtools/consolidation.h"
#include "support/test_window.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// After a consolidation nothing is selected, so a second press changes nothing either.
TEST(Consolidation, AcceptedThenTheEntriesAfterTheStopPoint)
{
    const struct {
        const char* name;
        QStringList urls;
        int selected;
        QStringList accepted;
        QStringList result; // empty: nothing changes
        Activity running = Activity::None;
    } cases[] = {
        { "stop at c", { "a", "b", "c", "d", "e" }, 2, { "a" }, { "a", "d", "e" } },
        { "stop at the last entry", { "a", "b", "c" }, 2, { "b", "a" }, { "b", "a" } },
        { "nothing accepted", { "a", "b", "c", "d" }, 1, {}, { "c", "d" } },
        { "accepted url also after the stop point", { "a", "b", "c" }, 0, { "c" }, { "c", "b", "c" } },
        { "stop at the first entry", { "a", "b" }, 0, {}, { "b" } },
        { "nothing selected", { "a", "b" }, -1, { "z" }, {} },
        { "while the randomiser runs", { "a", "b" }, 1, { "z" }, {}, Activity::Randomise },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestWindow w;
        Form1& f = w.f();
        f.List1.replaceAll(c.urls);
        f.List1.setListIndex(c.selected);
        f.Label1.setCaption("9");
        f.List5.replaceAll(c.accepted);
        ActivityScope scope(f, c.running);
        Command6_Click(f);
        const bool kept = c.result.isEmpty();
        EXPECT_EQ(f.List1.items(), kept ? c.urls : c.result);
        EXPECT_EQ(f.Label1.Caption(), kept ? "9" : QString::number(c.result.size()));
        EXPECT_EQ(f.List1.ListIndex(), kept ? c.selected : -1);
        EXPECT_EQ(f.List5.items(), kept ? c.accepted : QStringList());
        EXPECT_TRUE(f.List7.items().isEmpty());
    }
}

} // namespace
} // namespace tarnwick
