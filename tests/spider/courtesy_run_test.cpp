// Spider runs that obey robots.txt and its Crawl-delay, and that ask again for URLs that
// failed for a moment: what is requested, what the run keeps and what its report says.
#include "app/small_handlers.h"
#include "spider/response_handler.h"
#include "spider/spider_run.h"
#include "support/loaded_form.h"
#include "support/qt_printers.h"
#include "support/spider_sites.h"
#include "support/test_window.h"

#include <QNetworkReply>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::FakeTransferControl;

struct CourtesyWindow : test::TestWindow {
    CourtesyWindow(std::unique_ptr<TransferControl> inet, const QStringList& urls, const char* parallel,
        bool obeyRobots, const char* retries)
        : TestWindow(std::move(inet))
    {
        Form1& f = *form;
        attachResponseHandler(f, p);
        test::readySpider(f);
        f.List1.replaceAll(urls);
        f.Combo8.setText(parallel);
        f.Check9.setValue(obeyRobots ? 1 : 0);
        f.Combo9.setText(retries);
    }
    FakeTransferControl& fake() { return static_cast<FakeTransferControl&>(*form->Inet1); }
    /// What the run leaves that a user sees or saves.
    QString outputs() const
    {
        const Form1& f = *form;
        return p.messages.join(u'|') + u'\n' + f.RichTextBox1.Text() + u'\n' + f.List1.items().join(u'|')
            + u'\n' + f.runReport.summaryText() + u'\n' + f.runReport.csvText();
    }
};

QString page(const char* title)
{
    return QString::fromStdString(test::spiderPage(title, "A good description"));
}

// Three sites: one refuses /private/ to this crawler, one's robots.txt answers 503, one has none.
TEST(CourtesyRun, RobotsTxtKeepsRefusedUrlsUnrequestedAndReported)
{
    const QStringList urls = { "http://a.example/ok", "http://a.example/private/secret",
        "http://b.example/ok", "http://c.example/private/secret", "http://c.example/ok" };
    const auto sites = [&urls] {
        auto inet = std::make_unique<FakeTransferControl>();
        inet->answer("http://a.example/robots.txt",
            "User-agent: *\nDisallow: /\n\nUser-agent: agent\nDisallow: /private/\n");
        inet->answers["http://b.example/robots.txt"] = { "busy", false, 0, {}, 503 };
        inet->answers["http://c.example/robots.txt"] = { "none", false, 0, {}, 404 };
        for (const QString& url : urls)
            inet->answer(url, page(qPrintable("Page at " + url)));
        return inet;
    };
    QString oneAtATime;
    for (const char* parallel : { "1", "4" }) {
        SCOPED_TRACE(parallel);
        CourtesyWindow run(sites(), urls, parallel, true, "0");
        Command3_Click(run.f(), run.p);
        const QStringList& executed = run.fake().executed;
        EXPECT_EQ(executed.count(urls[1]) + executed.count(urls[2]), 0);
        EXPECT_EQ(executed.count(urls[3]), 1);
        for (const char* host : { "a", "b", "c" })
            EXPECT_EQ(executed.count(QStringLiteral("http://%1.example/robots.txt").arg(host)), 1) << host;
        EXPECT_EQ(run.f().runReport.summaryText(),
            "Spidered 5 of 5 URLs: 3 accepted, 0 refused by the rules, 2 refused by robots.txt, 0 failed");
        const QStringList rows = run.f().runReport.csvText().split("\r\n");
        ASSERT_EQ(rows.size(), 7);
        EXPECT_EQ(rows[2], "2," + urls[1] + ",refused by robots.txt,robots.txt: Disallow: /private/");
        EXPECT_EQ(rows[3], "3," + urls[2] + ",refused by robots.txt,robots.txt unreachable: HTTP status 503");
        EXPECT_EQ(run.f().List1.items(), (QStringList { urls[0], urls[3], urls[4] }));
        if (oneAtATime.isEmpty())
            oneAtATime = run.outputs();
        else
            EXPECT_EQ(run.outputs(), oneAtATime);
    }

    CourtesyWindow unticked(sites(), urls, "1", false, "0");
    Command3_Click(unticked.f(), unticked.p);
    EXPECT_EQ(unticked.fake().executed, urls) << "every URL and no robots.txt";
    EXPECT_EQ(unticked.f().runReport.summaryText(),
        "Spidered 5 of 5 URLs: 5 accepted, 0 refused by the rules, 0 failed");
}

/// Four URLs: one answers 503 with Retry-After once, one resets twice, one always answers
/// 503, one is fine.
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
    const struct {
        const char* name;
        const char* retries;
        const char* parallel;
        int requests;
        qint64 waitedMs; // on the virtual clock
        QString summary;
        QStringList reasons;
    } cases[] = {
        { "no retries", "0", "1", 4, 0,
            "Spidered 4 of 4 URLs: 1 accepted, 0 refused by the rules, 3 failed (2 HTTP status, 1 other "
            "failure)",
            { "HTTP status 503", "", "Connection closed", "HTTP status 503" } },
        { "two retries", "2", "1", 9, 2000 + 3000 + 3000, retried, retriedReasons },
        { "two retries, four in flight", "2", "4", 9, 2000 + 3000 + 3000, retried, retriedReasons },
    };
    QString withRetries;
    for (const auto& c : cases) {
        CourtesyWindow run(flakySites(), kFlakyUrls, c.parallel, false, c.retries);
        Command3_Click(run.f(), run.p);
        EXPECT_EQ(run.fake().executed.size(), c.requests) << c.name;
        EXPECT_EQ(run.p.sleptMs, c.waitedMs) << c.name;
        EXPECT_EQ(run.f().runReport.summaryText(), c.summary) << c.name;
        QStringList reasons;
        for (const UrlOutcome& o : run.f().runReport.outcomes())
            reasons.append(o.reason);
        EXPECT_EQ(reasons, c.reasons) << c.name;
        if (QLatin1String(c.retries) != "0") {
            if (withRetries.isEmpty())
                withRetries = run.outputs();
            EXPECT_EQ(run.outputs(), withRetries) << c.name;
        }
    }
}

TEST(CourtesyRun, StopAllEndsTheWaitBeforeARetryAtOnce)
{
    for (const char* parallel : { "1", "4" }) {
        CourtesyWindow run(flakySites(), kFlakyUrls, parallel, false, "5");
        Form1& f = run.f();
        QString waitCaption;
        run.p.onPump = [&](int) {
            if (run.p.sleptMs > 0 && waitCaption.isEmpty()) {
                waitCaption = f.Caption();
                mnuStopAll_Click(f);
            }
        };
        Command3_Click(f, run.p);
        EXPECT_EQ(waitCaption, "Tarnwick - Asking again in 2 s") << parallel;
        EXPECT_EQ(run.p.sleptMs, 100) << parallel;
        EXPECT_EQ(run.p.messages, QStringList { "Stopped!" }) << parallel;
        ASSERT_EQ(f.runReport.outcomes().size(), 1u) << parallel;
        EXPECT_EQ(f.runReport.outcomes()[0].reason, "HTTP status 503") << parallel;
        EXPECT_TRUE(f.RichTextBox1.Text().isEmpty()) << parallel;
    }
}

TEST(CourtesyRun, CrawlDelaySpacesRequestsToItsSiteOnly)
{
    QString oneAtATime;
    // However many requests a host may take at once, its Crawl-delay still spaces them.
    for (const auto& [parallel, perHost] : { std::pair { "1", "2" }, { "4", "2" }, { "16", "16" } }) {
        auto inet = std::make_unique<FakeTransferControl>();
        inet->answer("http://a.example/robots.txt", "User-agent: *\nCrawl-delay: 5\n");
        inet->answers["http://b.example/robots.txt"] = { "", false, 0, {}, 404 };
        const QStringList urls
            = { "http://a.example/1", "http://a.example/2", "http://a.example/3", "http://b.example/1" };
        for (const QString& url : urls)
            inet->answer(url, page(qPrintable("Page " + url)));
        CourtesyWindow run(std::move(inet), urls, parallel, true, "0");
        run.f().Combo10.setText(perHost);
        Command3_Click(run.f(), run.p);
        const QStringList& executed = run.fake().executed;
        // The robots.txt request counts as the first to its site.
        EXPECT_EQ(run.p.sleptMs, 15000) << parallel;
        EXPECT_EQ(executed.count("http://a.example/robots.txt"), 1) << parallel;
        EXPECT_EQ(executed.size(), 6) << parallel;
        if (QLatin1String(parallel) != "1")
            EXPECT_LT(executed.indexOf("http://b.example/1"), executed.indexOf("http://a.example/2"));
        if (oneAtATime.isEmpty())
            oneAtATime = run.outputs();
        else
            EXPECT_EQ(run.outputs(), oneAtATime);
    }
}

} // namespace
} // namespace tarnwick
