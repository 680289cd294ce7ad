#include "app/form1.h"
#include "app/startup.h"
#include "spider/save_run_report.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/fixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// Save Run Report writes the command line's CSV, or says there is nothing to report.
TEST(SaveRunReport, WritesTheReportCsvOrSaysThereIsNoRun)
{
    struct Row {
        const char* name;
        bool ran;
        const char* message; // "%1" stands for the chosen path
    };
    const Row rows[] = {
        { "no run yet", false, "No spider run to report on!" },
        { "after a run", true, "File %1 saved!" },
    };
    for (const Row& row : rows) {
        QTemporaryDir dir;
        auto form = std::make_unique<Form1>(std::make_unique<test::FakeTransferControl>());
        Form1& f = *form;
        Form_Load(f);
        test::FakePlatform p;
        p.folder = dir.path();
        if (row.ran) {
            f.runReport.clear(2);
            f.runReport.add(RunReport::judge(1, QStringLiteral("http://a.example/"), true, 0, {}, 200));
            f.runReport.add(
                RunReport::judge(2, QStringLiteral("http://b.example/\"x,y\""), false, 0, {}, 404));
        }
        const QString chosen = dir.filePath(QStringLiteral("run.csv"));
        p.answerDialog(chosen);
        mnuSaveRunReport_Click(f, p);
        EXPECT_EQ(p.messages,
            QStringList { QString::fromLatin1(row.message).replace(QStringLiteral("%1"), chosen) })
            << row.name;
        EXPECT_EQ(p.dialogs.size(), row.ran ? 1u : 0u) << row.name;
        if (row.ran) {
            EXPECT_EQ(p.dialogs[0].filter, QStringLiteral("CSV (*.csv)|*.csv"));
            EXPECT_EQ(test::readFileBytes(chosen), f.runReport.csvText().toUtf8()) << row.name;
        }
    }
}

} // namespace
} // namespace tarnwick
