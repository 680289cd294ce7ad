#include "app/small_handlers.h"
#include "net/transfer_control.h"
#include "spider/response_handler.h"
#include "spider/run_report.h"
#include "spider/save_run_report.h"
#include "spider/spider_run.h"
#include "support/fixtures.h"
#include "support/spider_sites.h"
#include "support/test_window.h"

#include <QNetworkReply>

#include <gtest/gtest.h>

#include <tuple>

namespace tarnwick {
namespace {

TEST(RunReport, EachEndOfARequestHasItsOutcome)
{
    // What ended the request (a record accepted, the transfer's error, the HTTP status) and its outcome.
    const std::tuple<const char*, bool, int, int, Outcome, const char*> cases[] = {
        { "a record", true, 0, 200, Outcome::Accepted, "" },
        { "an error page with a record", true, 0, 404, Outcome::Accepted, "" },
        { "no record", false, 0, 200, Outcome::Refused, "no meta description" },
        { "an error page", false, 0, 503, Outcome::HttpStatus, "HTTP status 503" },
        { "our timeout", false, TransferControl::kErrorTimeout, 0, Outcome::Timeout, "why" },
        { "the network's timeout", false, QNetworkReply::TimeoutError, 0, Outcome::Timeout, "why" },
        { "TLS", false, QNetworkReply::SslHandshakeFailedError, 0, Outcome::Tls, "why" },
        { "refused", false, QNetworkReply::ConnectionRefusedError, 0, Outcome::ConnectionRefused, "why" },
        { "DNS", false, QNetworkReply::HostNotFoundError, 0, Outcome::HostNotFound, "why" },
        { "too large", false, TransferControl::kErrorTooLarge, 200, Outcome::TooLarge, "why" },
        { "dropped", false, QNetworkReply::RemoteHostClosedError, 0, Outcome::OtherFailure, "why" },
        { "robots.txt", false, TransferControl::kErrorRobotsRefused, 0, Outcome::RobotsRefused, "why" },
    };
    RunReport all;
    all.clear(13);
    for (const auto& [name, accepted, errorCode, httpStatus, outcome, reason] : cases) {
        const UrlOutcome o = RunReport::judge(4, QStringLiteral("http://a.example/"), accepted, errorCode,
            QStringLiteral("why"), httpStatus, PageVerdict::NoDescription);
        EXPECT_EQ(o.outcome, outcome) << name;
        EXPECT_EQ(o.reason, QLatin1String(reason)) << name;
        all.add(o);
    }
    EXPECT_EQ(all.summaryText(),
        "Spidered 12 of 13 URLs: 2 accepted, 1 refused by the rules, 1 refused by robots.txt, 8 failed "
        "(2 timeout, 1 TLS, 1 refused connection, 1 DNS, 1 HTTP status, 1 too large, 1 other failure)");
}

TEST(RunReport, CsvKeepsHostileTextInert)
{
    RunReport report;
    report.clear(5);
    report.add(RunReport::judge(1, QStringLiteral("http://a.example/"), true, 0, {}, 200));
    report.add(RunReport::judge(2, QStringLiteral("http://b.example/?q=\"x\""), false, 0, {}, 200));
    report.add(RunReport::judge(3, QStringLiteral("=cmd|' /C calc'!A0"), false,
        QNetworkReply::HostNotFoundError, QStringLiteral("Host\r\nnot found, x"), 0));
    report.add(RunReport::judge(4, QStringLiteral("http://d.example/"), false, 0, {}, 404));
    const QStringList rows = report.csvText().split(QStringLiteral("\r\n"));
    ASSERT_EQ(rows.size(), 6) << report.csvText().toStdString();
    EXPECT_EQ(rows[0], "position,url,outcome,reason");
    EXPECT_EQ(rows[1], "1,http://a.example/,accepted,");
    EXPECT_TRUE(rows[2].startsWith("2,\"http://b.example/?q=\"\"x\"\"\",refused by the rules,"))
        << rows[2].toStdString();
    EXPECT_EQ(rows[3], "3,'=cmd|' /C calc'!A0,DNS,\"Host  not found, x\"");
    EXPECT_EQ(rows[4], "4,http://d.example/,HTTP status,HTTP status 404");
    EXPECT_EQ(rows[5], "");
}

// The status strip holds the run's summary when its end message shows; a refused run leaves
// the last one. Save Run Report then writes the run's CSV, or says there was no run.
TEST(RunReport, SummaryShownAtEitherEndAndSavedAsCsv)
{
    struct Row {
        const char* name;
        const char* filter; // empty: the input checks refuse the run
        char during; // once the first record is in: 's' Stop All, 'r' the user removes the last URL
        QString summary;
    };
    const Row rows[] = {
        { "completed", "flights -hotels", 0,
            "Spidered 3 of 3 URLs: 1 accepted, 1 refused by the rules, 1 failed (1 refused connection)" },
        { "stopped", " ", 's', "Spidered 1 of 3 URLs: 1 accepted, 0 refused by the rules, 0 failed" },
        { "the last URL removed", " ", 'r',
            "Spidered 2 of 3 URLs: 1 accepted, 0 refused by the rules, 1 failed (1 refused connection)" },
        { "refused", "", 0, "last run" },
    };
    for (const Row& row : rows) {
        test::TestWindow w;
        Form1& f = w.f();
        attachResponseHandler(f, w.p);
        f.List1.replaceAll({ "http://a.example/", "http://b.example/", "http://c.example/" });
        w.transfer->answer("http://a.example/",
            QString::fromStdString(test::spiderPage("Cheap flights", "Flights for less")));
        w.transfer->fail("http://b.example/", QNetworkReply::ConnectionRefusedError, "Connection refused");
        w.transfer->answer(
            "http://c.example/", QString::fromStdString(test::spiderPage("Cheap hotels", "Beds for less")));
        f.Text5.setText(row.filter);
        f.labelStatus.setCaption("last run");
        w.p.onPump = [&f, &row](int) {
            if (f.List5.ListCount() == 1 && row.during == 's')
                mnuStopAll_Click(f);
            if (f.List5.ListCount() == 1 && row.during == 'r' && f.List1.ListCount() == 3)
                f.List1.setListIndex(2), List1_DblClick(f);
        };
        QString atMessage;
        w.p.onMessage = [&](const QString&) { atMessage = f.labelStatus.Caption(); };
        Command3_Click(f, w.p);
        EXPECT_EQ(atMessage, row.summary) << row.name;
        EXPECT_EQ(f.labelStatus.Caption(), row.summary) << row.name;
        EXPECT_EQ(f.Caption(), "Tarnwick") << row.name << ": not the last request's state";
        EXPECT_EQ(f.RichTextBox1.SelStart(), f.RichTextBox1.Text().size()) << row.name << ": at its end";

        w.p.messages.clear();
        const QString chosen = w.path("run.csv");
        w.run(mnuSaveRunReport_Click, chosen);
        const bool ran = row.filter[0] != '\0';
        EXPECT_EQ(w.p.messages.value(0), ran ? "File " + chosen + " saved!" : "No spider run to report on!")
            << row.name;
        EXPECT_EQ(test::readFileBytes(chosen), ran ? f.runReport.csvText().toUtf8() : "") << row.name;
        if (ran)
            EXPECT_EQ(w.p.dialogs.at(0).filter, "CSV (*.csv)|*.csv");
    }
}

} // namespace
} // namespace tarnwick
