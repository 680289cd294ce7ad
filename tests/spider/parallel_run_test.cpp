// A run with several requests in flight gives the output of a run one at a time.
#include "app/form1.h"
#include "app/small_handlers.h"
#include "app/startup.h"
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"
#include "spider/spider_run.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/fixtures.h"
#include "support/loopback_server.h"
#include "support/qt_printers.h"
#include "support/spider_sites.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::FakePlatform;
using test::FakeTransferControl;
using test::LoopbackServer;

/// A form ready to spider `urls` with pages made, three records a page.
struct SpiderForm {
    SpiderForm(std::unique_ptr<TransferControl> inet, const QStringList& urls, const QString& parallel)
        : form(std::make_unique<Form1>(std::move(inet)))
    {
        Form1& f = *form;
        Form_Load(f);
        attachResponseHandler(f, p);
        p.folder = home.path();
        f.List1.replaceAll(urls);
        f.Text6.setText(QStringLiteral("http://ref.example/"));
        f.Text4.setText(QStringLiteral("Agent/1"));
        f.Text5.setText(QStringLiteral(" "));
        f.Combo2.setText(QStringLiteral("1"));
        f.Combo8.setText(parallel);
        f.Check3.setValue(1);
        f.Combo3.setText(QStringLiteral("3"));
        f.Text8.setText(QStringLiteral("cars"));
        f.Text9.setText(QStringLiteral("insurance"));
        f.Text10.setText(QStringLiteral("sitemap"));
        f.Text11.setText(QStringLiteral("Car insurance"));
    }
    FakeTransferControl& fake() { return static_cast<FakeTransferControl&>(*form->Inet1); }

    /// Everything the run leaves behind, files included, as one text.
    QString outputs() const
    {
        const Form1& f = *form;
        QString all = p.messages.join(u'|') + u'\n' + f.RichTextBox1.Text() + u'\n'
            + f.List1.items().join(u'|') + u'\n' + f.List5.items().join(u'|') + u'\n' + f.Label10.Caption()
            + u'|' + f.Label15.Caption() + u'|' + f.Text12.Text() + u'|'
            + QString::number(f.List1.ListIndex()) + u'\n' + f.runReport.csvText();
        const QDir out(home.filePath(QStringLiteral("cars")));
        for (const QString& name : out.entryList(QDir::Files, QDir::Name))
            all += u'\n' + name + u'\n' + QString::fromUtf8(test::readFileBytes(out.filePath(name)));
        return all;
    }

    QTemporaryDir home;
    FakePlatform p;
    std::unique_ptr<Form1> form;
};

TEST(ParallelRun, EightInFlightGiveTheOutputOfOneAtATime)
{
    LoopbackServer server;
    test::serveSpiderSites(server);
    // Idle connections hold a server thread each; enough threads that none waits for one.
    server.server.new_task_queue = [] { return new httplib::ThreadPool(64); };
    server.start(LoopbackServer::Listen::Every127);
    QStringList urls;
    for (const test::SpiderSite& site : test::spiderSites())
        urls.append(server.urlOn(2 + static_cast<int>(urls.size()) % 5, QString::fromLatin1(site.path)));
    // A refused connection and a missing page join the failures of the sites.
    urls.insert(3, QStringLiteral("http://127.0.0.1:1/"));
    urls.insert(8, server.urlOn(3, QStringLiteral("/missing")));

    SpiderForm one(std::make_unique<QtTransferControl>(), urls, QStringLiteral("1"));
    Command3_Click(*one.form, one.p);
    SpiderForm eight(std::make_unique<QtTransferControl>(), urls, QStringLiteral("8"));
    Command3_Click(*eight.form, eight.p);

    EXPECT_EQ(eight.outputs(), one.outputs());
    EXPECT_EQ(one.form->runReport.summaryText(),
        "Spidered 17 of 17 URLs: 7 accepted, 6 refused by the rules, 4 failed (1 timeout, 1 refused "
        "connection, 2 HTTP status)");
}

/// Good pages on `hosts` hosts, answered by a scripted control.
std::unique_ptr<FakeTransferControl> scriptedSites(int count, int hosts, QStringList& urls)
{
    auto inet = std::make_unique<FakeTransferControl>();
    for (int i = 0; i < count; ++i) {
        urls.append(QStringLiteral("http://site%1.example/page%2").arg(i % hosts).arg(i));
        inet->answer(urls.last(),
            QString::fromStdString(
                test::spiderPage("Scripted page " + std::to_string(i), "A good description")));
    }
    return inet;
}

TEST(ParallelRun, RequestsInFlightAreCappedInAllAndPerHost)
{
    const struct {
        const char* name;
        const char* parallel;
        int hosts;
        int mostRunning;
    } cases[] = {
        { "one at a time", "1", 12, 1 },
        { "four on many hosts", "4", 12, 4 },
        { "sixteen on four hosts", "16", 4, 8 },
        { "four on one host", "4", 1, 2 },
        { "beyond the box's items", "40", 30, 16 },
    };
    for (const auto& c : cases) {
        QStringList urls;
        SpiderForm run(scriptedSites(30, c.hosts, urls), urls, QLatin1String(c.parallel));
        Command3_Click(*run.form, run.p);
        EXPECT_EQ(run.fake().mostRunning, c.mostRunning) << c.name;
        EXPECT_EQ(run.p.messages, QStringList { "Run completed! Tarnwick list of sites spidered!" })
            << c.name;
        EXPECT_EQ(run.form->List1.items(), urls) << c.name;
    }
}

TEST(ParallelRun, StopAndQuitLeaveNoTraceOfAnswersFetchedAhead)
{
    // The run's next pump comes while the third answer is processed: Stop All lets it finish,
    // Quit ends at once.
    const struct {
        const char* name;
        bool quit;
        int kept;
        QStringList messages;
    } cases[] = {
        { "stop", false, 3, { "Stopped!" } },
        { "quit", true, 2, {} },
    };
    for (const auto& c : cases) {
        QStringList urls;
        SpiderForm run(scriptedSites(12, 12, urls), urls, QStringLiteral("8"));
        Form1& f = *run.form;
        f.Check3.setValue(0);
        run.p.onPump = [&](int) {
            if (f.List5.ListCount() == 2)
                c.quit ? mnuQuit_Click(f, run.p) : mnuStopAll_Click(f);
        };
        Command3_Click(f, run.p);
        // Answers for later positions had arrived, yet none reached the data.
        EXPECT_GT(run.fake().executed.size(), c.kept) << c.name;
        EXPECT_EQ(run.fake().running, 0) << c.name;
        EXPECT_EQ(f.List5.items(), urls.mid(0, c.kept)) << c.name;
        EXPECT_EQ(f.RichTextBox1.Text().count(QStringLiteral("Scripted page")), c.kept) << c.name;
        EXPECT_EQ(static_cast<int>(f.runReport.outcomes().size()), c.kept) << c.name;
        EXPECT_EQ(run.p.messages, c.messages) << c.name;
        EXPECT_EQ(f.List1.items(), urls) << c.name;
    }
}

TEST(ParallelRun, SettingIsAWholeNumberFromOneToSixteen)
{
    SpiderForm run(std::make_unique<FakeTransferControl>(), {}, QStringLiteral("1"));
    Form1& f = *run.form;
    EXPECT_EQ(f.Combo8.ListCount(), 16);
    EXPECT_EQ(f.Combo8.List(15), "16");
    const struct {
        const char* text;
        int requests;
    } cases[]
        = { { "1", 1 }, { "8", 8 }, { "2.5", 2 }, { "0", 1 }, { "-3", 1 }, { "40", 16 }, { "many", 1 } };
    for (const auto& c : cases) {
        f.Combo8.setText(QLatin1String(c.text));
        EXPECT_EQ(parallelRequests(f), c.requests) << c.text;
    }
}

} // namespace
} // namespace tarnwick
