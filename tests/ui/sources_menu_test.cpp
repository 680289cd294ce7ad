// The Sources menu: built from the source tables, marking and setting Form1's choices.
#include "app/form1.h"
#include "app/startup.h"
#include "harvest/result_sources.h"
#include "keywords/keyword_sources.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "ui/main_window.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

struct SourcesMenu : ::testing::Test {
    test::FakePlatform platform;
    Form1 form { std::make_unique<test::FakeTransferControl>() };
    std::unique_ptr<MainWindow> window;
    QMenu* menu = nullptr;

    void SetUp() override
    {
        Form_Load(form);
        window = std::make_unique<MainWindow>(form, platform);
        menu = window->action(form.mnuSources)->menu();
        ASSERT_NE(menu, nullptr);
    }
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

TEST_F(SourcesMenu, EntriesComeFromTheTables)
{
    QStringList expected { "Keyword suggestions from:" };
    for (const KeywordSource& source : keywordSources())
        expected << source.name;
    expected << "Expand seed with a-z, 0-9"
             << ""
             << "Result URLs from:";
    for (const ResultSource& source : resultSources())
        expected << source.name;
    QStringList shown;
    for (const QAction* action : menu->actions())
        shown << action->text();
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(marked(),
        (QStringList { "keywordSource:" + keywordSources().front().name,
            "resultSource:" + resultSources().front().name }));
}

TEST_F(SourcesMenu, ChoosingSetsForm1AndTheMarksFollow)
{
    const struct {
        const char* entry;
        QString Form1::*field;
        const char* value;
    } rows[] = {
        { "keywordSource:DuckDuckGo", &Form1::keywordSource, "DuckDuckGo" },
        { "keywordSource:Classic", &Form1::keywordSource, "Classic" },
        { "resultSource:Classic", &Form1::resultSource, "Classic" },
        { "resultSource:SearXNG", &Form1::resultSource, "SearXNG" },
    };
    for (const auto& row : rows) {
        QAction* action = entry(QLatin1String(row.entry));
        ASSERT_NE(action, nullptr) << row.entry;
        action->trigger();
        EXPECT_EQ(form.*row.field, QLatin1String(row.value)) << row.entry;
        EXPECT_TRUE(marked().contains(QLatin1String(row.entry))) << row.entry;
    }
    entry(QStringLiteral("seedExpansion"))->trigger();
    EXPECT_EQ(form.seedExpansion, SeedExpansion::On);
    EXPECT_EQ(marked(), (QStringList { "keywordSource:Classic", "seedExpansion", "resultSource:SearXNG" }));
    entry(QStringLiteral("seedExpansion"))->trigger();
    EXPECT_EQ(form.seedExpansion, SeedExpansion::Off);
}

} // namespace
} // namespace tarnwick
