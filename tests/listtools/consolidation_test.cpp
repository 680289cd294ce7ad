#include "listtools/consolidation.h"
#include "support/test_window.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(Consolidation, AcceptedThenTheEntriesAfterTheStopPoint)
{
    const struct {
        const char* name;
        QStringList urls;
        int selected;
        QStringList accepted;
        QStringList result;
    } cases[] = {
        { "stop at c", { "a", "b", "c", "d", "e" }, 2, { "a" }, { "a", "d", "e" } },
        { "stop at the last entry", { "a", "b", "c" }, 2, { "b", "a" }, { "b", "a" } },
        { "nothing accepted", { "a", "b", "c", "d" }, 1, {}, { "c", "d" } },
        { "accepted url also after the stop point", { "a", "b", "c" }, 0, { "c" }, { "c", "b", "c" } },
        { "stop at the first entry", { "a", "b" }, 0, {}, { "b" } },
    };
    for (const auto& c : cases) {
        test::TestWindow w;
        Form1& f = w.f();
        f.List1.replaceAll(c.urls);
        f.List1.setListIndex(c.selected);
        f.List5.replaceAll(c.accepted);
        Command6_Click(f);
        EXPECT_EQ(f.List1.items(), c.result) << c.name;
        EXPECT_EQ(f.Label1.Caption(), QString::number(c.result.size())) << c.name;
        EXPECT_EQ(f.List1.ListIndex(), -1) << c.name;
        EXPECT_TRUE(f.List5.items().isEmpty()) << c.name;
        EXPECT_TRUE(f.List7.items().isEmpty()) << c.name;
    }
}

TEST(Consolidation, NoSelectionASecondPressOrTheRandomiserChangesNothing)
{
    test::TestWindow w;
    Form1& f = w.f();
    f.List1.replaceAll({ "a", "b", "c" });
    f.Label1.setCaption("3");
    f.List5.replaceAll({ "a" });
    Command6_Click(f);
    EXPECT_EQ(f.List1.items(), QStringList({ "a", "b", "c" }));
    EXPECT_EQ(f.List5.items(), QStringList { "a" });
    EXPECT_EQ(f.Label1.Caption(), "3");

    f.List1.setListIndex(0);
    Command6_Click(f);
    EXPECT_EQ(f.List1.items(), QStringList({ "a", "b", "c" }));
    f.List5.replaceAll({ "z" });
    Command6_Click(f);
    EXPECT_EQ(f.List1.items(), QStringList({ "a", "b", "c" })) << "refilling left nothing selected";
    EXPECT_EQ(f.List5.items(), QStringList { "z" });

    f.List1.setListIndex(1);
    ActivityScope scope(f, Activity::Randomise);
    Command6_Click(f);
    EXPECT_EQ(f.List1.items(), QStringList({ "a", "b", "c" })) << "waits while the randomiser runs";
}

} // namespace
} // namespace tarnwick
