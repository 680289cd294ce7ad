#include "app/form1.h"
#include "app/small_handlers.h"
#include "app/startup.h"
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"
#include "spider/spider_run.h"
#include "support/fake_platform.h"
#include "support/fixtures.h"
#include "support/loopback_server.h"
#include "support/spider_sites.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::expectSpiderFile;
using test::FakePlatform;
using test::LoopbackServer;

struct SpiderSession {
    explicit SpiderSession(const QString& filter = QStringLiteral(" "))
    {
        test::serveSpiderSites(server);
        server.start();
        form = std::make_unique<Form1>(std::make_unique<QtTransferControl>());
        Form_Load(*form);
        attachResponseHandler(*form, p);
        p.folder = home.path();
        Form1& f = *form;
        for (const QString& url : test::spiderSiteUrls(server))
            f.List1.AddItem(url);
        f.Text6.setText(QStringLiteral("http://ref.example/"));
        f.Text4.setText(QStringLiteral("Agent/1"));
        f.Text5.setText(filter);
        f.Combo2.setText(QStringLiteral("1"));
        f.Text8.setText(QStringLiteral("cars"));
        f.Text9.setText(QStringLiteral("insurance"));
        f.Text10.setText(QStringLiteral("sitemap"));
        f.Text11.setText(QStringLiteral("Car insurance"));
        f.Combo3.setText(QStringLiteral("3"));
    }
    QTemporaryDir home;
    LoopbackServer server;
    FakePlatform p;
    std::unique_ptr<Form1> form;
};

TEST(SpiderRun, WithoutPagesKeepsAcceptedSitesOnly)
{
    SpiderSession run;
    Form1& f = *run.form;
    Command3_Click(f, run.p);
    ASSERT_EQ(
        run.p.messages, QStringList { QStringLiteral("Run completed! Tarnwick list of sites spidered!") });
    expectSpiderFile(QStringLiteral("nopages.sdata"), f.RichTextBox1.Text().toUtf8(), run.server);
    expectSpiderFile(
        QStringLiteral("nopages.urls"), f.List1.items().join(QStringLiteral("\r\n")).toUtf8(), run.server);
    EXPECT_EQ(f.Label10.Caption(), QString::number(f.List1.ListCount()));
    EXPECT_EQ(f.Label15.Caption(), QString::number(test::spiderSites().size()));
    EXPECT_EQ(f.Label1.Caption(), QString::number(f.List1.ListCount()));
    EXPECT_EQ(f.List5.ListCount(), 0);
    EXPECT_EQ(f.Caption(), QStringLiteral("Tarnwick"));
    EXPECT_FALSE(QFileInfo::exists(run.home.path() + QStringLiteral("/cars")));
}

TEST(SpiderRun, WithPagesWritesNumberedPagesAndSitemap)
{
    SpiderSession run;
    Form1& f = *run.form;
    f.Check3.setValue(1);
    run.p.rndValues = { 0.05, 0.5, 0.99, 0.3 };
    Command3_Click(f, run.p);
    ASSERT_EQ(
        run.p.messages, QStringList { QStringLiteral("Run completed! Tarnwick list of sites spidered!") });
    expectSpiderFile(QStringLiteral("pages_left.sdata"), f.RichTextBox1.Text().toUtf8(), run.server);
    const QDir out(run.home.path() + QStringLiteral("/cars"));
    const QStringList written = out.entryList(QDir::Files, QDir::Name);
    expectSpiderFile(QStringLiteral("pages.list"), written.join(QLatin1Char('\n')).toUtf8(), run.server);
    for (const QString& name : written)
        expectSpiderFile(name, test::readFileBytes(out.filePath(name)), run.server);
    EXPECT_TRUE(f.Text15.Text().isEmpty());
}

TEST(SpiderRun, FilterKeepsFlightsPages)
{
    SpiderSession run(QStringLiteral("flights -cheap"));
    Command3_Click(*run.form, run.p);
    expectSpiderFile(QStringLiteral("filter.urls"),
        run.form->List1.items().join(QStringLiteral("\r\n")).toUtf8(), run.server);
}

TEST(SpiderRun, StopAllKeepsListSelectionAndAccepted)
{
    SpiderSession run;
    Form1& f = *run.form;
    f.List1.replaceAll(f.List1.items().mid(0, 1) + f.List1.items().mid(4, 2) + f.List1.items().mid(12, 1));
    run.p.onPump = [&f](int) {
        if (f.List5.ListCount() == 2)
            mnuStopAll_Click(f);
    };
    Command3_Click(f, run.p);
    ASSERT_EQ(run.p.messages, QStringList { QStringLiteral("Stopped!") });
    EXPECT_EQ(f.List1.ListCount(), 4);
    EXPECT_EQ(f.List1.ListIndex(), 1);
    EXPECT_EQ(f.List5.items(), (QStringList { f.List1.List(0), f.List1.List(1) }));
    EXPECT_EQ(f.Caption(), QStringLiteral("Tarnwick"));
    EXPECT_FALSE(f.Inet1->StillExecuting());
}

TEST(SpiderRun, UnwritablePagesAreNamedAtTheEnd)
{
    SpiderSession run;
    Form1& f = *run.form;
    f.Check3.setValue(1);
    f.List1.replaceAll(f.List1.items().mid(0, 1) + f.List1.items().mid(4, 2));
    // A folder where the first page file should go.
    run.p.onPump = [&](int) { QDir().mkpath(run.home.path() + QStringLiteral("/cars/insurance3.html")); };
    Command3_Click(f, run.p);
    ASSERT_EQ(run.p.messages.size(), 1);
    EXPECT_TRUE(run.p.messages.at(0).startsWith(
        QStringLiteral("Run completed, but these files could not be written: ")))
        << run.p.messages.at(0).toStdString();
    EXPECT_TRUE(run.p.messages.at(0).contains(QStringLiteral("insurance3.html")));
    EXPECT_TRUE(QFileInfo::exists(run.home.path() + QStringLiteral("/cars/sitemap.html")));
}

} // namespace
} // namespace tarnwick
