// The Sources menu: built from the source tables, marking and setting Form1's choices.
#include "harvest/result_sources.h"
#include "keywords/keyword_sources.h"
#include "support/shown_window.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

struct SourcesMenu : ::testing::Test, test::ShownWindow {
    QMenu* menu = window.action(f.mnuSources)->menu();

    QAction* entry(const QString& objectName) { return menu->findChild<QAction*>(objectName); }
    /// The names of the entries marked after the menu opens.
    QStringList marked()
    {
        emit menu->aboutToShow();
        QStringList names;
        for (const QAction* action : menu->actions())
            if (action->isChecked())
                names << action->objectName();
        return names;
    }
};

TEST_F(SourcesMenu, ChoosingSetsForm1AndTheMarksFollow)
{
    EXPECT_EQ(marked(),
        (QStringList { "keywordSource:" + keywordSources().front().name,
            "resultSource:" + resultSources().front().name }));
    const struct {
        const char* entry;
        QString Form1::*field;
        const char* value;
    } rows[] = {
        { "keywordSource:DuckDuckGo", &Form1::keywordSource, "DuckDuckGo" },
        { "keywordSource:SearXNG", &Form1::keywordSource, "SearXNG" },
        { "keywordSource:Classic", &Form1::keywordSource, "Classic" },
        { "resultSource:Classic", &Form1::resultSource, "Classic" },
        { "resultSource:SearXNG", &Form1::resultSource, "SearXNG" },
    };
    for (const auto& row : rows) {
        QAction* action = entry(QLatin1String(row.entry));
        ASSERT_NE(action, nullptr) << row.entry;
        action->trigger();
        EXPECT_EQ(f.*row.field, QLatin1String(row.value)) << row.entry;
        EXPECT_TRUE(marked().contains(QLatin1String(row.entry))) << row.entry;
    }
    entry(QStringLiteral("seedExpansion"))->trigger();
    EXPECT_EQ(f.seedExpansion, SeedExpansion::On);
    EXPECT_EQ(marked(), (QStringList { "keywordSource:Classic", "seedExpansion", "resultSource:SearXNG" }));
    entry(QStringLiteral("seedExpansion"))->trigger();
    EXPECT_EQ(f.seedExpansion, SeedExpansion::Off);
}

} // namespace
} // namespace tarnwick
