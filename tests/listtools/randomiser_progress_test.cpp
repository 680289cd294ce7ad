#include "app/form1.h"
#include "listtools/randomiser.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

/// Its clock runs a second per reading, so the randomiser pumps at every look at the clock.
struct RunningClock : test::FakePlatform {
    QDateTime now() override { return clock = clock.addSecs(1); }
};

TEST(RandomiserProgress, PhasesInOrderEachCountedToItsEnd)
{
    Form1 f(std::make_unique<test::FakeTransferControl>());
    QStringList entries;
    for (int i = 0; i < 300; ++i)
        entries.append(QStringLiteral("http://e%1/").arg(i));
    f.List1.replaceAll(entries);
    RunningClock p;
    struct Seen {
        RandomiserPhase phase;
        qsizetype done, steps;
    };
    std::vector<Seen> seen;
    p.onPump = [&](int) {
        seen.push_back({ f.progress.randomiserPhase, f.progress.randomiserDone, f.progress.randomiserSteps });
    };
    Command4_Click(f, p);

    ASSERT_FALSE(seen.empty());
    int phasesSeen = 0;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_LE(seen[i].done, seen[i].steps) << "pump " << i;
        if (i > 0 && seen[i].phase == seen[i - 1].phase)
            EXPECT_GE(seen[i].done, seen[i - 1].done) << "pump " << i;
        if (i == 0 || seen[i].phase != seen[i - 1].phase) {
            EXPECT_EQ(static_cast<int>(seen[i].phase), phasesSeen++) << "pump " << i;
        }
    }
    EXPECT_EQ(phasesSeen, 3);
    EXPECT_EQ(seen.front().steps, 300) << "every position is drawn";
    EXPECT_EQ(f.progress.randomiserPhase, RandomiserPhase::Rebuilding);
    EXPECT_EQ(f.progress.randomiserDone, 300);
    EXPECT_EQ(f.progress.randomiserSteps, 300);
}

} // namespace
} // namespace tarnwick
