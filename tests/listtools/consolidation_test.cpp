#include "listtools/consolidation.h"
#include "support/test_window.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarnwick {
namespace {

const QString kNoStop = "Nothing to consolidate: there is no stopped spider run to go on from.";
const QString kChanged = "Nothing to consolidate: the URL list has changed since the spider run stopped.";

// The stop point is the run's, whatever the highlight did since; a second press finds none left.
TEST(Consolidation, AcceptedThenTheEntriesAfterTheStopPoint)
{
    const struct {
        const char* name;
        QStringList urls;
        int stop; // -1: no stopped run
        QStringList accepted;
        QStringList result; // empty: nothing changes
        QString message;
        std::function<void(Form1&)> after = [](Form1&) {};
        Activity running = Activity::None;
    } cases[] = {
        { "stop at c", { "a", "b", "c", "d", "e" }, 2, { "a" }, { "a", "d", "e" }, {} },
        { "stop at the last entry", { "a", "b", "c" }, 2, { "b", "a" }, { "b", "a" }, {} },
        { "nothing accepted", { "a", "b", "c", "d" }, 1, {}, { "c", "d" }, {} },
        { "accepted url also after the stop point", { "a", "b", "c" }, 0, { "c" }, { "c", "b", "c" }, {} },
        { "highlight cleared after the stop", { "a", "b", "c" }, 1, { "a" }, { "a", "c" }, {},
            [](Form1& f) { f.List1.setListIndex(-1); } },
        { "highlight moved after the stop", { "a", "b", "c" }, 0, {}, { "b", "c" }, {},
            [](Form1& f) { f.List1.setListIndex(2); } },
        { "urls appended after the stop", { "a", "b" }, 0, {}, { "b", "h" }, {},
            [](Form1& f) { f.List1.AddItem("h"); } },
        { "no stopped run", { "a", "b" }, -1, { "z" }, {}, kNoStop },
        { "entry deleted after the stop", { "a", "b", "c" }, 1, { "z" }, {}, kChanged,
            [](Form1& f) { f.List1.RemoveItem(0); } },
        { "list opened after the stop", { "a", "b" }, 0, { "z" }, {}, kChanged,
            [](Form1& f) {
                f.List1.replaceAll({ "a", "b" });
            } },
        { "while the randomiser runs", { "a", "b" }, 1, { "z" }, {}, {}, [](Form1&) {}, Activity::Randomise },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestWindow w;
        Form1& f = w.f();
        f.List1.replaceAll(c.urls);
        if (c.stop >= 0)
            markStopPoint(f, c.stop);
        c.after(f);
        const QStringList before = f.List1.items();
        f.Label1.setCaption("9");
        f.List5.replaceAll(c.accepted);
        ActivityScope scope(f, c.running);
        Command6_Click(f, w.p);
        const bool kept = c.result.isEmpty();
        EXPECT_EQ(f.List1.items(), kept ? before : c.result);
        EXPECT_EQ(f.Label1.Caption(), kept ? "9" : QString::number(c.result.size()));
        EXPECT_EQ(f.List5.items(), kept ? c.accepted : QStringList());
        EXPECT_TRUE(f.List7.items().isEmpty());
        EXPECT_EQ(w.p.messages, c.message.isEmpty() ? QStringList() : QStringList { c.message });
        if (kept)
            continue;
        Command6_Click(f, w.p);
        EXPECT_EQ(w.p.messages, QStringList { kNoStop }) << "second press";
        EXPECT_EQ(f.List1.items(), c.result) << "second press";
    }
}

} // namespace
} // namespace tarnwick
