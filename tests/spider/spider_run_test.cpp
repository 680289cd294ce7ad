// Spider runs over loopback servers and a scripted control: what a run leaves, one or several in flight.
#include "app/small_handlers.h"
#include "app/state_folder.h"
#include "net/fetch_pool.h"
#include "net/qt_transfer_control.h"
#include "spider/spider_run.h"
#include "support/faulty_file_system.h"
#include "support/qt_printers.h"
#include "support/spider_sites.h"
#include "support/test_window.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::FakeTransferControl;
using test::LoopbackServer;

/// A window ready to spider `urls` as the command-line test does: 1 s timeout, three records a page.
struct RunWindow : test::SpiderWindow {
    RunWindow(std::unique_ptr<TransferControl> inet, const QStringList& urls, const char* parallel = "1")
        : SpiderWindow(std::move(inet), urls, parallel)
    {
        form->Combo2.setText("1");
        form->Combo3.setText("3");
    }
};

/// `count` good pages on `hosts` hosts, answered by a scripted control.
std::unique_ptr<FakeTransferControl> scriptedSites(int count, int hosts, QStringList& urls)
{
    auto inet = std::make_unique<FakeTransferControl>();
    for (int i = 0; i < count; ++i) {
        urls.append(QStringLiteral("http://site%1.example/page%2").arg(i % hosts).arg(i));
        inet->answer(urls.last(),
            QString::fromStdString(test::spiderPage("Scripted page " + std::to_string(i), "A description")));
    }
    return inet;
}

/// The next run in `run`'s window leaves what the same run in a fresh window leaves.
void expectRunAgainAsFresh(RunWindow& run, const QStringList& urls, const char* parallel, bool pages)
{
    QStringList same;
    RunWindow fresh(
        scriptedSites(static_cast<int>(urls.size()), static_cast<int>(urls.size()), same), urls, parallel);
    fresh.f().Check3.setValue(pages ? 1 : 0);
    fresh.f().Text18.setText(run.f().Text18.Text());
    Command3_Click(fresh.f(), fresh.p);
    run.p.onPump = nullptr;
    run.p.messages.clear();
    QDir(run.path("cars")).removeRecursively(); // or the run would refuse the folder as taken
    Command3_Click(run.f(), run.p);
    EXPECT_EQ(run.outputs(), fresh.outputs());
}

// Without pages a run keeps the accepted sites only; with pages, eight in flight give one's output.
TEST(SpiderRun, OverLoopbackSitesKeepsAcceptedSitesAndEightInFlightGiveTheOutputOfOne)
{
    LoopbackServer server;
    test::serveSpiderSites(server);
    // Idle connections hold a server thread each; enough threads that none waits for one.
    server.server.new_task_queue = [] { return new httplib::ThreadPool(64); };
    server.start(LoopbackServer::Listen::Every127);
    RunWindow run(std::make_unique<QtTransferControl>(), test::spiderSiteUrls(server));
    Form1& f = run.f();
    Command3_Click(f, run.p);
    ASSERT_EQ(run.p.messages, QStringList { "Run completed! Tarnwick list of sites spidered!" });
    test::expectSpiderFile("nopages.sdata", f.RichTextBox1.Text().toUtf8(), server);
    test::expectSpiderFile("nopages.urls", f.List1.items().join("\r\n").toUtf8(), server);
    EXPECT_EQ(f.Label10.Caption(), QString::number(f.List1.ListCount()));
    EXPECT_EQ(f.Label15.Caption(), QString::number(test::spiderSites().size()));
    EXPECT_EQ(f.Label1.Caption(), QString::number(f.List1.ListCount()));
    EXPECT_EQ(f.List5.ListCount(), 0);
    EXPECT_EQ(f.Caption(), "Tarnwick");
    EXPECT_FALSE(QFileInfo::exists(run.path("cars")));

    QStringList urls;
    for (const test::SpiderSite& site : test::spiderSites())
        urls.append(server.urlOn(2 + static_cast<int>(urls.size()) % 5, QString::fromLatin1(site.path)));
    // A refused connection and a missing page join the failures of the sites.
    urls.insert(3, QStringLiteral("http://127.0.0.1:1/"));
    urls.insert(8, server.urlOn(3, QStringLiteral("/missing")));
    RunWindow one(std::make_unique<QtTransferControl>(), urls, "1");
    RunWindow eight(std::make_unique<QtTransferControl>(), urls, "8");
    for (RunWindow* window : { &one, &eight }) {
        window->f().Check3.setValue(1);
        Command3_Click(window->f(), window->p);
    }
    EXPECT_EQ(eight.outputs(), one.outputs());
    EXPECT_EQ(one.f().runReport.summaryText(),
        "Spidered 17 of 17 URLs: 7 accepted, 6 refused by the rules, 4 failed (1 timeout, 1 refused "
        "connection, 2 HTTP status)");
}

TEST(ParallelRun, RequestsInFlightAreCappedInAllAndPerHost)
{
    const std::tuple<const char*, const char*, const char*, int, int> cases[] = {
        { "one at a time", "1", "2", 12, 1 },
        { "four on many hosts", "4", "2", 12, 4 },
        { "sixteen on four hosts", "16", "2", 4, 8 },
        { "four on one host", "4", "2", 1, 2 },
        { "sixteen on many hosts", "16", "2", 30, 16 },
        { "sixteen on one host that takes sixteen", "16", "16", 1, 16 },
        { "sixteen on two hosts that take five", "16", "5", 2, 10 },
        { "one at a time to a host that takes sixteen", "1", "16", 1, 1 },
    };
    for (const auto& [name, parallel, perHost, hosts, mostRunning] : cases) {
        SCOPED_TRACE(name);
        QStringList urls;
        RunWindow run(scriptedSites(40, hosts, urls), urls, parallel);
        run.f().Combo10.setText(perHost);
        Command3_Click(run.f(), run.p);
        EXPECT_EQ(run.fake().mostRunning, mostRunning);
        EXPECT_EQ(run.p.messages, QStringList { "Run completed! Tarnwick list of sites spidered!" });
        EXPECT_EQ(run.f().List1.items(), urls);
    }
}

TEST(SpiderRun, StopAndQuitLeaveNoTraceOfAnswersFetchedAhead)
{
    // The next pump comes while the third answer is on its way: Stop All lets it finish, Quit ends at once.
    // The records kept; the list entry selected at the end.
    const std::tuple<const char*, const char*, bool, int, int, QStringList> cases[] = {
        { "stop", "1", false, 2, 1, { "Stopped!" } },
        { "stop with eight in flight", "8", false, 3, 2, { "Stopped!" } },
        { "quit with eight in flight", "8", true, 2, 2, {} },
    };
    for (const auto& [name, parallel, quit, kept, index, messages] : cases) {
        SCOPED_TRACE(name);
        QStringList urls;
        RunWindow run(scriptedSites(12, 12, urls), urls, parallel);
        Form1& f = run.f();
        f.Check3.setValue(kept < 3); // pages, stopped part-way through the first
        run.p.yesNoAnswers = { true }; // "Quit and lose the spider run in progress?"
        QSet<QString> captions; // the requests' progress shows, with any number in flight
        run.p.onPump = [&](int) {
            captions << f.Caption();
            if (f.List5.ListCount() == 1)
                f.Combo2.setText("7");
            if (f.List5.ListCount() == 2) {
                f.setCaption("Tarnwick - busy");
                quit ? mnuQuit_Click(f, run.p) : mnuStopAll_Click(f);
            }
        };
        Command3_Click(f, run.p);
        // With several in flight, answers for later positions had arrived, yet none reached the data.
        EXPECT_EQ(run.fake().executed.size() > kept, parallel[0] == '8');
        EXPECT_EQ(run.fake().running, 0);
        EXPECT_EQ(run.fake().timeouts.last(), parallel[0] == '1' ? 7 : 1) << "the timeout set mid-run";
        EXPECT_EQ(f.List5.items(), urls.mid(0, kept));
        EXPECT_EQ(f.RichTextBox1.Text().count("Scripted page"), kept);
        EXPECT_EQ(static_cast<int>(f.runReport.outcomes().size()), kept);
        EXPECT_EQ(run.p.messages, messages);
        EXPECT_EQ(f.List1.items(), urls);
        EXPECT_EQ(f.List1.ListIndex(), index);
        EXPECT_EQ(f.Text19.Text(), quit ? "" : QString::number(index + 1)) << "the stop point";
        EXPECT_EQ(f.Caption(), quit ? "Tarnwick - busy" : "Tarnwick");
        EXPECT_TRUE(captions.contains("Tarnwick - Attempting to connect to Host"));
        if (!quit)
            expectRunAgainAsFresh(run, urls, parallel, kept < 3);
    }
}

// A page or sitemap not written stops the run as Stop All does, keeping all it gathered; a journal does not.
TEST(SpiderRun, AnUnwritablePageOrSitemapStopsTheRunAndAnUnwritableJournalDoesNot)
{
    const std::tuple<const char*, const char*, const char*, int, QStringList> cases[] = {
        { "first page, one at a time", "insurance3.html", "1", 3, {} },
        { "first page, eight in flight", "insurance3.html", "8", 3, {} },
        { "sitemap at the end", "sitemap.html", "1", 6, { "insurance3.html", "insurance6.html" } },
    };
    for (const auto& [name, file, parallel, accepted, written] : cases) {
        SCOPED_TRACE(name);
        QStringList urls;
        RunWindow run(scriptedSites(6, 6, urls), urls, parallel);
        Form1& f = run.f();
        f.Check3.setValue(1);
        f.Text18.setText("http://cars.example/"); // a sitemap.xml lists the pages
        test::FaultyFileSystem disk;
        disk.only = file;
        disk.bytesBeforeWriteFails = 0;
        run.p.files = &disk;
        Command3_Click(f, run.p);
        EXPECT_EQ(run.p.messages,
            QStringList { "Stopped! File " + run.path("cars/") + file
                + " could not be saved: No space left on device" });
        EXPECT_EQ(f.Label3.Caption(), "0");
        EXPECT_EQ(f.Text19.Text(), QString::number(accepted)) << "the stop point";
        EXPECT_EQ(f.List1.items(), urls);
        EXPECT_EQ(f.List5.items(), urls.mid(0, accepted));
        EXPECT_EQ(static_cast<int>(f.runReport.outcomes().size()), accepted);
        // The failed page's records are back in the pane; a failed sitemap keeps its links.
        EXPECT_EQ(f.RichTextBox1.Text().count("Scripted page"), written.isEmpty() ? 3 : 0);
        EXPECT_EQ(f.Text15.Text().count("<a href"), written.size());
        EXPECT_EQ(f.pageFiles.size(), written.size()) << "nor sitemap.xml";
        EXPECT_EQ(QDir(run.path("cars")).entryList(QDir::Files | QDir::Hidden, QDir::Name), written);
        disk.bytesBeforeWriteFails = -1;
        expectRunAgainAsFresh(run, urls, parallel, true);
    }

    // A journal not written, at the start or part-way (failAfter: URLs accepted first; 0: at the header), is
    // said once and removed; the run goes on to its end.
    const std::tuple<const char*, int, const char*> journals[] = {
        { "header", 0, "The run journal could not be written (" },
        { "entry mid-run", 2, "The run goes on, but can no longer be resumed after a crash: " },
    };
    for (const auto& [name, failAfter, message] : journals) {
        SCOPED_TRACE(name);
        QStringList urls;
        RunWindow run(scriptedSites(6, 6, urls), urls);
        Form1& f = run.f();
        test::FaultyFileSystem disk;
        disk.only = ".journal";
        disk.bytesBeforeWriteFails = failAfter == 0 ? 0 : -1;
        run.p.files = &disk;
        const QDir state(stateFolder(), "*.journal*");
        int journalsAfterFailure = 0;
        run.p.onPump = [&](int) {
            if (f.List5.ListCount() == failAfter)
                disk.bytesBeforeWriteFails = 0;
            if (!run.p.messages.isEmpty())
                journalsAfterFailure += static_cast<int>(state.entryList(QDir::Files).size());
        };
        Command3_Click(f, run.p);
        ASSERT_EQ(run.p.messages.size(), 2) << run.p.messages.join('|').toStdString();
        EXPECT_TRUE(run.p.messages[0].startsWith(message) && run.p.messages[0].contains("No space left"));
        EXPECT_EQ(run.p.messages[1], "Run completed! Tarnwick list of sites spidered!");
        EXPECT_EQ(journalsAfterFailure, 0);
        EXPECT_EQ(state.entryList(QDir::Files), QStringList {});
    }
}

// What Stop All does to the requests in flight: the pool ends them and forgets them, finished
// or not, nothing of them arrives later, and the same requests started again come back whole.
TEST(ParallelRun, ACancelledPoolForgetsItsRequestsAndRunsTheNextOnesWhole)
{
    QStringList urls;
    const std::unique_ptr<FakeTransferControl> inet = scriptedSites(4, 4, urls);
    FetchPool pool([&inet] { return inet->makeSibling(); }, 4);
    int notified = 0;
    pool.onProgress = [&notified](TransferControl&, int) { ++notified; };
    const auto start = [&](int from, int to) {
        for (int id = from; id < to; ++id)
            pool.start({ id, urls[id], {}, "host", 1 });
    };
    start(0, 2);
    QCoreApplication::processEvents(); // the first two finish and wait to be taken
    start(2, 4);
    const int before = notified;
    pool.cancelAll();
    QCoreApplication::processEvents();
    EXPECT_EQ(notified, before);
    EXPECT_EQ(inet->running, 0);
    EXPECT_TRUE(pool.canRunMore());
    EXPECT_EQ(pool.runningFor("host"), 0);
    for (int id = 0; id < 4; ++id) {
        EXPECT_FALSE(pool.holds(id)) << id;
        EXPECT_FALSE(pool.take(id)) << id;
    }
    start(0, 4);
    QCoreApplication::processEvents();
    for (int id = 0; id < 4; ++id) {
        const std::optional<FinishedFetch> done = pool.take(id);
        ASSERT_TRUE(done && done->completed) << id;
        EXPECT_EQ(done->body, inet->answers.value(urls[id]).body) << id;
    }
}

} // namespace
} // namespace tarnwick
