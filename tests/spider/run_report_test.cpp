#include "net/transfer_control.h"
#include "spider/run_report.h"

#include <QNetworkReply>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(RunReport, EachEndOfARequestHasItsOutcome)
{
    const struct {
        const char* name;
        bool accepted;
        int errorCode;
        int httpStatus;
        Outcome outcome;
        const char* reason;
    } cases[] = {
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
    };
    for (const auto& c : cases) {
        const UrlOutcome o = RunReport::judge(4, QStringLiteral("http://a.example/"), c.accepted, c.errorCode,
            QStringLiteral("why"), c.httpStatus, PageVerdict::NoDescription);
        EXPECT_EQ(o.outcome, c.outcome) << c.name;
        EXPECT_EQ(o.position, 4) << c.name;
        EXPECT_EQ(o.reason, QLatin1String(c.reason)) << c.name;
    }
}

TEST(RunReport, SummaryCountsAndCsvKeepsHostileTextInert)
{
    RunReport report;
    report.clear(5);
    report.add(RunReport::judge(1, QStringLiteral("http://a.example/"), true, 0, {}, 200));
    report.add(RunReport::judge(2, QStringLiteral("http://b.example/?q=\"x\",y"), false, 0, {}, 200));
    report.add(RunReport::judge(3, QStringLiteral("=cmd|' /C calc'!A0"), false,
        QNetworkReply::HostNotFoundError, QStringLiteral("Host\r\nnot found"), 0));
    report.add(RunReport::judge(4, QStringLiteral("http://d.example/"), false, 0, {}, 404));
    EXPECT_EQ(report.summaryText(),
        "Spidered 4 of 5 URLs: 1 accepted, 1 refused by the rules, 2 failed (1 DNS, 1 HTTP status)");
    const QStringList rows = report.csvText().split(QStringLiteral("\r\n"));
    ASSERT_EQ(rows.size(), 6) << report.csvText().toStdString();
    EXPECT_EQ(rows[0], "position,url,outcome,reason");
    EXPECT_EQ(rows[1], "1,http://a.example/,accepted,");
    EXPECT_TRUE(rows[2].startsWith("2,\"http://b.example/?q=\"\"x\"\",y\",refused by the rules,"))
        << rows[2].toStdString();
    EXPECT_EQ(rows[3], "3,'=cmd|' /C calc'!A0,DNS,Host  not found");
    EXPECT_EQ(rows[4], "4,http://d.example/,HTTP status,HTTP status 404");
    EXPECT_EQ(rows[5], "");
}

} // namespace
} // namespace tarnwick
