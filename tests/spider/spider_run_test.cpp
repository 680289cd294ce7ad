#include "app/form1.h"
#include "app/small_handlers.h"
#include "app/startup.h"
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"
#include "spider/spider_run.h"
#include "support/fake_platform.h"
#include "support/fixtures.h"
#include "support/loopback_server.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace tarnwick {
namespace {

using test::FakePlatform;
using test::LoopbackServer;

std::string page(const std::string& title, const std::string& desc, const std::string& extra = {})
{
    return "<html><head><title>" + title + "</title>\r\n<meta name=\"description\" content=\"" + desc + "\">"
        + extra + "</head><body>text</body></html>";
}

struct Site {
    const char* path;
    std::string body;
    int status = 200;
    const char* type = "text/html";
};

/// Every kind of page the spider meets, in URL list order.
std::vector<Site> sites()
{
    return {
        {"/ok1", page("Cheap Flights to Rome", "Fly to Rome for less")},
        {"/width500", page("Wide table page", "Has a table", "<table width=500>")},
        {"/ampersand", page("&amp;lt;b&amp;gt;Shop", "A shop page here")},
        {"/five", page("Fiv e", "Five letter title")},
        {"/six", page("Six ab", "Six letter title")},
        {"/double", page("Big  Sale now", "a &gt; b and more")},
        {"/slashclose", "<html><head><title>Closed by slash</title><meta name=\"description\" content=\"Slash "
                        "closed desc\" /><link href=\"x\"></head><body>b</body></html>"},
        {"/descafter", "<html><head><title>Description late</title></head><body><meta name=\"description\" "
                       "content=\"After the body\"></body></html>"},
        {"/empty", ""},
        {"/error", page("Internal Server Error", "Something broke"), 500},
        {"/stall", "stall"},
        {"/cp1252", "<html><head><title>Caf\xe9 Cr\xe8me Flights</title><meta name=\"description\" "
                    "content=\"Cr\xe8me br\xfbl\xe9" "e \x93quoted\x94\"></head><body></body></html>",
         200, "text/html; charset=windows-1252"},
        {"/ok2", page("Cheap Hotels in Rome", "Sleep well in Rome")},
        {"/desclt", page("Angle description", "a &lt;script&gt; here")},
        {"/ok3", page("Last Minute Flights Deals Today", "Go now, pay less")},
    };
}

struct SpiderSession {
    explicit SpiderSession(const QString& filter = QStringLiteral(" "))
    {
        for (const Site& s : sites()) {
            const Site site = s;
            server.server.Get(site.path, [site](const httplib::Request&, httplib::Response& res) {
                if (site.body == "stall") {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                    res.set_content("late", "text/html");
                    return;
                }
                res.status = site.status;
                res.set_content(site.body, site.type);
            });
        }
        server.start();
        form = std::make_unique<Form1>(std::make_unique<QtTransferControl>());
        Form_Load(*form);
        attachResponseHandler(*form, p);
        p.folder = home.path();
        Form1& f = *form;
        for (const Site& s : sites())
            f.List1.AddItem(server.url(QString::fromLatin1(s.path)));
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

/// Compares with tests/fixtures/spider/expected/<name>; TARNWICK_WRITE_EXPECTED=1 rewrites it.
void expectFile(const QString& name, QByteArray actual, const LoopbackServer& server)
{
    actual.replace(server.url(QString()).toUtf8(), "http://HOST");
    const QString path = test::fixturePath(QStringLiteral("spider/expected/") + name);
    if (qEnvironmentVariableIsSet("TARNWICK_WRITE_EXPECTED"))
        test::writeFileBytes(path, actual);
    EXPECT_EQ(actual, test::readFileBytes(path)) << name.toStdString();
}

TEST(SpiderRun, WithoutPagesKeepsAcceptedSitesOnly)
{
    SpiderSession run;
    Form1& f = *run.form;
    Command3_Click(f, run.p);
    ASSERT_EQ(run.p.messages, QStringList{QStringLiteral("Run completed! Tarnwick list of sites spidered!")});
    expectFile(QStringLiteral("nopages.sdata"), f.RichTextBox1.Text().toUtf8(), run.server);
    expectFile(QStringLiteral("nopages.urls"), f.List1.items().join(QStringLiteral("\r\n")).toUtf8(), run.server);
    EXPECT_EQ(f.Label10.Caption(), QString::number(f.List1.ListCount()));
    EXPECT_EQ(f.Label15.Caption(), QString::number(sites().size()));
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
    run.p.rndValues = {0.05, 0.5, 0.99, 0.3};
    Command3_Click(f, run.p);
    ASSERT_EQ(run.p.messages, QStringList{QStringLiteral("Run completed! Tarnwick list of sites spidered!")});
    expectFile(QStringLiteral("pages_left.sdata"), f.RichTextBox1.Text().toUtf8(), run.server);
    const QDir out(run.home.path() + QStringLiteral("/cars"));
    const QStringList written = out.entryList(QDir::Files, QDir::Name);
    expectFile(QStringLiteral("pages.list"), written.join(QLatin1Char('\n')).toUtf8(), run.server);
    for (const QString& name : written)
        expectFile(name, test::readFileBytes(out.filePath(name)), run.server);
    EXPECT_TRUE(f.Text15.Text().isEmpty());
}

TEST(SpiderRun, FilterKeepsFlightsPages)
{
    SpiderSession run(QStringLiteral("flights -cheap"));
    Command3_Click(*run.form, run.p);
    expectFile(QStringLiteral("filter.urls"), run.form->List1.items().join(QStringLiteral("\r\n")).toUtf8(), run.server);
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
    ASSERT_EQ(run.p.messages, QStringList{QStringLiteral("Stopped!")});
    EXPECT_EQ(f.List1.ListCount(), 4);
    EXPECT_EQ(f.List1.ListIndex(), 1);
    EXPECT_EQ(f.List5.items(), (QStringList{f.List1.List(0), f.List1.List(1)}));
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
    EXPECT_TRUE(run.p.messages.at(0).startsWith(QStringLiteral("Run completed, but these files could not be written: ")))
        << run.p.messages.at(0).toStdString();
    EXPECT_TRUE(run.p.messages.at(0).contains(QStringLiteral("insurance3.html")));
    EXPECT_TRUE(QFileInfo::exists(run.home.path() + QStringLiteral("/cars/sitemap.html")));
}

}  // namespace
}  // namespace tarnwick
