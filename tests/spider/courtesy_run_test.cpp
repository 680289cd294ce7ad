// Spider runs that obey robots.txt and its Crawl-delay, and that ask again for URLs that
// failed for a moment: what is requested, what the run keeps and what its report says.
#include "app/small_handlers.h"
#include "spider/spider_run.h"
#include "support/qt_printers.h"
#include "support/spider_sites.h"
#include "support/test_window.h"

#include <QNetworkReply>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::FakeTransferControl;

struct CourtesyWindow : test::SpiderWindow {
    CourtesyWindow(std::unique_ptr<TransferControl> inet, const QStringList& urls, const char* parallel,
        bool obeyRobots, const char* retries)
        : SpiderWindow(std::move(inet), urls, parallel)
    {
        form->Check9.setValue(obeyRobots ? 1 : 0);
        form->Combo9.setText(retries);
    }
};

QString page(const char* title)
{
    return QString::fromStdString(test::spiderPage(title, "A good description"));
}

/// Holds the first run's outputs in `first`, and compares every later run's with them.
void expectSameOutputs(QString& first, const QString& outputs)
{
    if (first.isEmpty())
        first = outputs;
    EXPECT_EQ(outputs, first);
}

QStringList reasons(const Form1& f)
{
    QStringList out;
    for (const UrlOutcome& o : f.runReport.outcomes())
        out.append(o.reason);
    return out;
}

/// a.example (port 80 named once) asks for 5 s between requests, its robots.txt first; b.example has none.
const QStringList kCrawlUrls = { "http://a.example/1", "http://a.example/2", "http://a.example:80/3",
    "http://a.example/4", "http://a.example/5", "http://b.example/1" };

std::unique_ptr<FakeTransferControl> crawlDelaySites()
{
    auto inet = std::make_unique<FakeTransferControl>();
    inet->answer("http://a.example/robots.txt", "User-agent: *\nCrawl-delay: 5\n");
    inet->answers["http://b.example/robots.txt"] = { "", false, 0, {}, 404 };
    for (const QString& url : kCrawlUrls)
        inet->answer(url, page(qPrintable("Page " + url)));
    return inet;
}

// Three sites: one refuses /private/ to this crawler, one on its own port answers 500 or 429, one 404 or 300
// (read as none). Then a Crawl-delay, which spaces requests to its own site only.
TEST(CourtesyRun, RobotsTxtKeepsRefusedUrlsUnrequestedAndReportedAndItsCrawlDelaySpacesRequests)
{
    const QStringList urls = { "http://a.example/ok", "http://a.example/private/secret",
        "http://c.example/private/secret", "http://c.example/ok", "http://b.example:81/ok" };
    const auto sites = [&urls](int busy, int unread) {
        auto inet = std::make_unique<FakeTransferControl>();
        inet->answer("http://a.example/robots.txt",
            "User-agent: *\nDisallow: /\n\nUser-agent: agent\nDisallow: /private/\n");
        inet->answers["http://b.example:81/robots.txt"] = { "busy", false, 0, {}, busy };
        inet->answers["http://c.example/robots.txt"] = { "User-agent: *\nDisallow: /", false, 0, {}, unread };
        for (const QString& url : urls)
            inet->answer(url, page(qPrintable("Page at " + url)));
        return inet;
    };
    QString oneAtATime;
    for (const auto& [parallel, busy, unread] : { std::tuple { "1", 500, 404 }, { "4", 429, 300 } }) {
        SCOPED_TRACE(parallel);
        CourtesyWindow run(sites(busy, unread), urls, parallel, true, "0");
        Command3_Click(run.f(), run.p);
        const QStringList& executed = run.fake().executed;
        EXPECT_EQ(executed.count(urls[1]) + executed.count(urls[4]), 0);
        EXPECT_EQ(executed.count(urls[2]), 1);
        EXPECT_EQ(run.fake().siblings, parallel[0] == '1' ? 1 : 6) << "idle robots.txt controls used again";
        EXPECT_EQ(run.fake().timeouts, QList<int>(executed.size(), 60)) << "robots.txt in the run's timeout";
        for (const char* host : { "a.example", "b.example:81", "c.example" })
            EXPECT_EQ(executed.count(QStringLiteral("http://%1/robots.txt").arg(host)), 1) << host;
        EXPECT_EQ(run.f().runReport.summaryText(),
            "Spidered 5 of 5 URLs: 3 accepted, 0 refused by the rules, 2 refused by robots.txt, 0 failed");
        const QStringList rows = run.f().runReport.csvText().split("\r\n");
        ASSERT_EQ(rows.size(), 7);
        EXPECT_EQ(rows[2], "2," + urls[1] + ",refused by robots.txt,robots.txt: Disallow: /private/");
        EXPECT_EQ(rows[5],
            "5," + urls[4] + ",refused by robots.txt,robots.txt unreachable: HTTP status "
                + QString::number(busy));
        EXPECT_EQ(run.f().List1.items(), (QStringList { urls[0], urls[2], urls[3] }));
        EXPECT_EQ(run.f().Text7.Text(), urls[4]) << "the last URL passed, though refused";
        expectSameOutputs(oneAtATime, run.outputs().replace("HTTP status 429", "HTTP status 500"));
    }

    QString crawlOneAtATime;
    // A Crawl-delay spaces its host's requests, however many it takes; b.example's wait for the look-ahead.
    for (const auto& [parallel, perHost, bAt] :
        { std::tuple { "1", "2", 7 }, { "2", "2", 4 }, { "4", "2", 2 }, { "16", "16", 2 } }) {
        SCOPED_TRACE(parallel);
        CourtesyWindow run(crawlDelaySites(), kCrawlUrls, parallel, true, "0");
        run.f().Combo10.setText(perHost);
        Command3_Click(run.f(), run.p);
        const QStringList& executed = run.fake().executed;
        EXPECT_EQ(run.p.sleptMs, 25000);
        EXPECT_EQ(executed.count("http://a.example/robots.txt"), 1);
        EXPECT_EQ(executed.size(), 8);
        EXPECT_EQ(executed.indexOf("http://b.example/1"), bAt) << executed.join(' ').toStdString();
        expectSameOutputs(crawlOneAtATime, run.outputs());
    }
    // The URLs after the first removed while the second waits its turn: none is asked for; the run ends.
    CourtesyWindow run(crawlDelaySites(), kCrawlUrls, "2", true, "0");
    run.p.onPump = [&run](int) {
        if (run.p.sleptMs > 5000)
            run.f().List1.replaceAll(kCrawlUrls.mid(0, 1));
    };
    Command3_Click(run.f(), run.p);
    EXPECT_EQ(run.fake().executed, (QStringList { "http://a.example/robots.txt", kCrawlUrls[0] }));
    EXPECT_EQ(run.p.messages, QStringList { "Run completed! Tarnwick list of sites spidered!" });
}

/// Four URLs: one answers 503 with Retry-After once, one resets twice, one always answers 503, one is fine.
std::unique_ptr<FakeTransferControl> flakySites()
{
    using Answer = FakeTransferControl::Answer;
    auto inet = std::make_unique<FakeTransferControl>();
    const Answer busy { "busy", false, 0, {}, 503, { { "Retry-After", "2" } } };
    const Answer reset { {}, true, QNetworkReply::RemoteHostClosedError, "Connection closed" };
    inet->firstAnswers["http://a.example/"] = { busy };
    inet->answer("http://a.example/", page("Busy at first"));
    inet->firstAnswers["http://c.example/"] = { reset, reset };
    inet->answer("http://c.example/", page("Reset twice"));
    inet->answers["http://d.example/"] = { "still busy", false, 0, {}, 503 };
    inet->answer("http://b.example/", page("Fine all along"));
    return inet;
}

const QStringList kFlakyUrls
    = { "http://a.example/", "http://b.example/", "http://c.example/", "http://d.example/" };

TEST(CourtesyRun, RetriesTurnPassingFailuresIntoRecords)
{
    const QString retried = "Spidered 4 of 4 URLs: 3 accepted (2 after retries), 0 refused by the rules, 1 "
                            "failed (1 HTTP status)";
    const QStringList retriedReasons
        = { "accepted after 1 retry", "", "accepted after 2 retries", "HTTP status 503 (after 2 retries)" };
    const std::tuple<const char*, const char*, const char*, int, qint64, QString, QStringList> cases[] = {
        { "no retries", "0", "1", 4, 0,
            "Spidered 4 of 4 URLs: 1 accepted, 0 refused by the rules, 3 failed (2 HTTP status, 1 other "
            "failure)",
            { "HTTP status 503", "", "Connection closed", "HTTP status 503" } },
        { "two retries", "2", "1", 9, 2000 + 3000 + 3000, retried, retriedReasons },
        { "two retries, four in flight", "2", "4", 9, 2000 + 3000 + 3000, retried, retriedReasons },
    };
    QString withRetries;
    for (const auto& [name, retries, parallel, requests, waitedMs, summary, wantReasons] : cases) {
        SCOPED_TRACE(name);
        CourtesyWindow run(flakySites(), kFlakyUrls, parallel, false, retries);
        Command3_Click(run.f(), run.p);
        EXPECT_EQ(run.fake().executed.size(), requests);
        EXPECT_EQ(run.p.sleptMs, waitedMs);
        EXPECT_EQ(run.f().runReport.summaryText(), summary);
        EXPECT_EQ(reasons(run.f()), wantReasons);
        if (QLatin1String(retries) != "0")
            expectSameOutputs(withRetries, run.outputs());
    }
}

enum class Sites { Flaky, CrawlDelay };

// Stop All or closing the window during any wait of a run ends it there. Stop All at the next check, 100 ms
// on, with "Stopped!", an answer to be asked again judged a failure; a closed window at once, silently.
TEST(CourtesyRun, StopAllOrClosingTheWindowDuringAnyWaitEndsTheRunThere)
{
    // At the first pump a request or robots.txt is on its way; with several in flight a URL shows once read.
    // Draining: an earlier request still runs; Held: one that never ends by itself (quit by pump 10).
    enum class When { FirstPump, Reading, Sleeping, Draining, Held };
    const std::tuple<const char*, bool, Sites, const char*, const char*, When> cases[] = {
        { "Stop All, retry, one at a time", false, Sites::Flaky, "1", "5", When::Sleeping },
        { "Stop All, retry, four in flight", false, Sites::Flaky, "4", "5", When::Sleeping },
        { "Stop All, Crawl-delay, one at a time", false, Sites::CrawlDelay, "1", "0", When::Sleeping },
        { "Stop All, Crawl-delay, four in flight", false, Sites::CrawlDelay, "4", "0", When::Sleeping },
        { "quit, request, one at a time", true, Sites::Flaky, "1", "0", When::FirstPump },
        { "quit, request, four in flight", true, Sites::Flaky, "4", "0", When::FirstPump },
        { "quit, answer read, four in flight", true, Sites::Flaky, "4", "0", When::Reading },
        { "quit, robots.txt", true, Sites::CrawlDelay, "1", "0", When::FirstPump },
        { "quit, last request draining", true, Sites::Flaky, "1", "0", When::Draining },
        { "quit, run after a request held", true, Sites::Flaky, "1", "0", When::Held },
        { "quit, retry, one at a time", true, Sites::Flaky, "1", "5", When::Sleeping },
        { "quit, retry, four in flight", true, Sites::Flaky, "4", "5", When::Sleeping },
        { "quit, Crawl-delay, one at a time", true, Sites::CrawlDelay, "1", "0", When::Sleeping },
        { "quit, Crawl-delay, four in flight", true, Sites::CrawlDelay, "4", "0", When::Sleeping },
    };
    for (const auto& [name, quit, sites, parallel, retries, when] : cases) {
        SCOPED_TRACE(name);
        const bool flaky = sites == Sites::Flaky;
        CourtesyWindow run(flaky ? flakySites() : crawlDelaySites(), flaky ? kFlakyUrls : kCrawlUrls,
            parallel, !flaky, retries);
        Form1& f = run.f();
        const auto state = [&] {
            return QStringList { QString::number(run.fake().executed.size()),
                QString::number(f.runReport.outcomes().size()), f.Label15.Caption(), f.RichTextBox1.Text(),
                QString::number(run.p.sleptMs) }
                .join(u'\n');
        };
        QString atWait, caption;
        run.p.yesNoAnswers = { true }; // "Quit and lose the spider run in progress?"
        run.p.onPump = [&](int pump) {
            if (atWait.isEmpty() && (when != When::Sleeping || run.p.sleptMs > 0)
                && (when != When::Reading || !f.Text7.Text().isEmpty())
                && (when != When::Held || run.fake().executed.size() > 1 || pump > 9)) {
                atWait = state();
                caption = f.Caption();
                quit ? mnuQuit_Click(f, run.p) : mnuStopAll_Click(f);
            }
        };
        run.fake().answers["http://held/"].holds = true;
        if (flaky && !quit) // the busy answer reads as a page: stopped while it waits, it is no record
            run.fake().firstAnswers[kFlakyUrls[0]][0].body = page("Busy at first");
        if (when >= When::Draining)
            run.fake().Execute(when == When::Held ? "http://held/" : kFlakyUrls[0], {}, {}, {});
        Command3_Click(f, run.p);
        EXPECT_EQ(f.activity, Activity::None);
        if (quit) {
            EXPECT_EQ(state(), atWait);
            EXPECT_TRUE(when != When::Held || atWait.startsWith("2\n")) << "the held request is cancelled";
            EXPECT_TRUE(run.p.messages.isEmpty());
            continue;
        }
        EXPECT_EQ(run.p.sleptMs, 100);
        EXPECT_EQ(run.p.messages, QStringList { "Stopped!" });
        EXPECT_TRUE(f.RichTextBox1.Text().isEmpty());
        EXPECT_EQ(reasons(f), flaky ? QStringList { "HTTP status 503" } : QStringList());
        if (flaky)
            EXPECT_EQ(caption, "Tarnwick - Asking again in 2 s");
    }
}

} // namespace
} // namespace tarnwick
