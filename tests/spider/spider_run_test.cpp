#include "app/small_handlers.h"
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"
#include "spider/spider_run.h"
#include "support/loopback_server.h"
#include "support/spider_sites.h"
#include "support/test_window.h"

#include <QDir>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::expectSpiderFile;
using test::LoopbackServer;

// The spider fixture sites on a loopback server, a real transfer control and the settings of
// a run of three results a page. The pages such a run writes are compared byte for byte by the
// command-line test, which runs the same handlers with these settings.
struct SpiderSession : test::TestWindow {
    explicit SpiderSession(const QString& filter = " ")
        : TestWindow(std::make_unique<QtTransferControl>())
    {
        test::serveSpiderSites(server);
        server.start();
        attachResponseHandler(*form, p);
        Form1& f = *form;
        f.List1.replaceAll(test::spiderSiteUrls(server));
        f.Text6.setText("http://ref.example/");
        f.Text4.setText("Agent/1");
        f.Text5.setText(filter);
        f.Combo2.setText("1");
        f.Text8.setText("cars");
        f.Text9.setText("insurance");
        f.Text10.setText("sitemap");
        f.Text11.setText("Car insurance");
        f.Combo3.setText("3");
    }
    LoopbackServer server;
};

TEST(SpiderRun, WithoutPagesKeepsAcceptedSitesOnly)
{
    SpiderSession run;
    Form1& f = run.f();
    Command3_Click(f, run.p);
    ASSERT_EQ(run.p.messages, QStringList { "Run completed! Tarnwick list of sites spidered!" });
    expectSpiderFile("nopages.sdata", f.RichTextBox1.Text().toUtf8(), run.server);
    expectSpiderFile("nopages.urls", f.List1.items().join("\r\n").toUtf8(), run.server);
    EXPECT_EQ(f.Label10.Caption(), QString::number(f.List1.ListCount()));
    EXPECT_EQ(f.Label15.Caption(), QString::number(test::spiderSites().size()));
    EXPECT_EQ(f.Label1.Caption(), QString::number(f.List1.ListCount()));
    EXPECT_EQ(f.List5.ListCount(), 0);
    EXPECT_EQ(f.Caption(), "Tarnwick");
    EXPECT_FALSE(QFileInfo::exists(run.path("cars")));
}

TEST(SpiderRun, FilterKeepsFlightsPages)
{
    SpiderSession run("flights -cheap");
    Command3_Click(run.f(), run.p);
    expectSpiderFile("filter.urls", run.f().List1.items().join("\r\n").toUtf8(), run.server);
}

TEST(SpiderRun, StopAllKeepsListSelectionAndAccepted)
{
    SpiderSession run;
    Form1& f = run.f();
    f.List1.replaceAll(f.List1.items().mid(0, 1) + f.List1.items().mid(4, 2) + f.List1.items().mid(12, 1));
    run.p.onPump = [&f](int) {
        if (f.List5.ListCount() == 2)
            mnuStopAll_Click(f);
    };
    Command3_Click(f, run.p);
    ASSERT_EQ(run.p.messages, QStringList { "Stopped!" });
    EXPECT_EQ(f.List1.ListCount(), 4);
    EXPECT_EQ(f.List1.ListIndex(), 1);
    EXPECT_EQ(f.List5.items(), (QStringList { f.List1.List(0), f.List1.List(1) }));
    EXPECT_EQ(f.Caption(), "Tarnwick");
    EXPECT_FALSE(f.Inet1->StillExecuting());
}

TEST(SpiderRun, UnwritablePagesAreNamedAtTheEnd)
{
    SpiderSession run;
    Form1& f = run.f();
    f.Check3.setValue(1);
    f.List1.replaceAll(f.List1.items().mid(0, 1) + f.List1.items().mid(4, 2));
    // A folder where the first page file should go.
    run.p.onPump = [&](int) { QDir().mkpath(run.home.path() + "/cars/insurance3.html"); };
    Command3_Click(f, run.p);
    ASSERT_EQ(run.p.messages.size(), 1);
    EXPECT_TRUE(run.p.messages.at(0).startsWith("Run completed, but these files could not be written: "))
        << run.p.messages.at(0).toStdString();
    EXPECT_TRUE(run.p.messages.at(0).contains("insurance3.html"));
    EXPECT_TRUE(QFileInfo::exists(run.home.path() + "/cars/sitemap.html"));
}

} // namespace
} // namespace tarnwick
