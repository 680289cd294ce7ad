#include "app/form1.h"
#include "app/small_handlers.h"
#include "app/startup.h"
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"
#include "spider/spider_run.h"
#include "support/fake_platform.h"
#include "support/loopback_server.h"
#include "support/spider_sites.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// labelStatus holds the run's summary when its end message shows; a refused run leaves it.
TEST(SpiderRunSummary, SetAtEitherEndAndKeptByARefusedRun)
{
    struct Row {
        const char* name;
        const char* filter; // empty: the input checks refuse the run
        bool stop;
        const char* summary;
    };
    const Row rows[] = {
        { "completed", " ", false,
            "Spidered 2 of 2 URLs: 1 accepted, 0 refused by the rules, 1 failed (1 HTTP status)" },
        { "stopped", " ", true, "Spidered 1 of 2 URLs: 1 accepted, 0 refused by the rules, 0 failed" },
        { "refused", "", false, "last run" },
    };
    test::LoopbackServer server;
    server.server.Get("/a", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(test::spiderPage("Cheap flights today", "Flights for less"), "text/html");
    });
    server.start();
    for (const Row& row : rows) {
        QTemporaryDir home;
        test::FakePlatform p;
        p.folder = home.path();
        auto form = std::make_unique<Form1>(std::make_unique<QtTransferControl>());
        Form1& f = *form;
        Form_Load(f);
        attachResponseHandler(f, p);
        f.List1.replaceAll({ server.url(QStringLiteral("/a")), server.url(QStringLiteral("/missing")) });
        f.Text5.setText(QString::fromLatin1(row.filter));
        f.labelStatus.setCaption(QStringLiteral("last run"));
        if (row.stop)
            p.onPump = [&f](int) {
                if (f.List5.ListCount() == 1)
                    mnuStopAll_Click(f);
            };
        QString atMessage;
        p.onMessage = [&](const QString&) { atMessage = f.labelStatus.Caption(); };
        Command3_Click(f, p);
        EXPECT_EQ(atMessage, QString::fromLatin1(row.summary)) << row.name;
        EXPECT_EQ(f.labelStatus.Caption(), QString::fromLatin1(row.summary)) << row.name;
    }
}

} // namespace
} // namespace tarnwick
