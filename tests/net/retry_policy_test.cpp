// Which failed requests are asked again and when, on a given clock and for real failures over loopback.
#include "net/qt_transfer_control.h"
#include "net/retry_policy.h"
#include "support/fake_platform.h"
#include "support/loopback_server.h"
#include "support/raw_server.h"

#include <QDeadlineTimer>
#include <QNetworkReply>

#include <gtest/gtest.h>

#include <ctime>
#include <tuple>

namespace tarnwick {
namespace {

const QDateTime kNow(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC);

TEST(RetryPolicy, WaitsDoubleFromOneSecondOrFollowRetryAfterWithinTheTimeout)
{
    constexpr int kNo = -1;
    // Retries allowed and made, the failure (error, status, Retry-After), timeout (s), next wait (kNo: none).
    const std::tuple<const char*, int, int, int, int, const char*, int, qint64> cases[] = {
        { "first retry", 3, 0, 0, 503, "", 60, 1000 },
        { "second retry", 3, 1, 0, 503, "", 60, 2000 },
        { "third retry", 3, 2, TransferControl::kErrorTimeout, 0, "", 60, 4000 },
        { "retries used up", 3, 3, 0, 503, "", 60, kNo },
        { "no retries", 0, 0, 0, 503, "", 60, kNo },
        { "back-off within the timeout", 5, 4, 0, 502, "", 10, 10000 },
        { "Retry-After seconds", 1, 0, 0, 429, " 7 ", 60, 7000 },
        { "Retry-After date", 1, 0, 0, 503, "Thu, 01 Jan 2026 12:00:30 GMT", 60, 30000 },
        { "Retry-After past date", 1, 0, 0, 503, "Thu, 01 Jan 2026 11:00:00 GMT", 60, 0 },
        { "Retry-After older date", 1, 0, 0, 503, "Thursday, 01-Jan-26 12:00:05 GMT", 60, 5000 },
        { "Retry-After asctime date", 1, 0, 0, 503, "Thu Jan  1 12:00:09 2026", 60, 9000 },
        { "Retry-After within a timeout of 0, read as 60", 1, 0, 0, 503, "3600", 0, 60000 },
        { "unreadable Retry-After", 2, 1, 0, 504, "soon", 60, 2000 },
        { "negative Retry-After", 2, 0, 0, 504, "-5", 60, 1000 },
        { "Retry-After now", 2, 1, 0, 504, "0", 60, 0 },
        { "reset", 1, 0, QNetworkReply::RemoteHostClosedError, 0, "", 60, 1000 },
        { "refused", 1, 0, QNetworkReply::ConnectionRefusedError, 0, "", 60, 1000 },
        { "the network's timeout", 1, 0, QNetworkReply::TimeoutError, 0, "", 60, 1000 },
        { "DNS", 1, 0, QNetworkReply::HostNotFoundError, 0, "", 60, kNo },
        { "too large", 1, 0, TransferControl::kErrorTooLarge, 200, "", 60, kNo },
        { "500", 1, 0, 0, 500, "", 60, kNo },
        { "404", 1, 0, 0, 404, "", 60, kNo },
        { "200", 1, 0, 0, 200, "", 60, kNo },
        { "more than allowed", 9, 5, 0, 503, "", 60, kNo },
    };
    // An HTTP date is GMT, whatever zone the machine is in.
    for (const char* zone : { "EST5", "UTC" }) {
        qputenv("TZ", zone), tzset();
        for (const auto& [name, retries, soFar, errorCode, status, retryAfter, timeout, waitMs] : cases) {
            const std::optional<qint64> wait
                = RetryPolicy(retries, timeout).delayBeforeRetry(soFar, errorCode, status, retryAfter, kNow);
            EXPECT_EQ(wait.value_or(kNo), waitMs) << name << " in " << zone;
        }
    }
}

// The loopback failures of the transfer table, each ended by the control as a spider run ends
// it: a held answer never reaches the handler, which is the control's own again afterwards.
TEST(RetryPolicy, LoopbackFailuresAsTheControlReportsThem)
{
    test::RawServer hangUp([](const std::string&, const test::RawServer::Send&) {});
    test::LoopbackServer server;
    server.serveCommonRoutes();
    for (const auto& [path, status, after] : { std::tuple { "/busy", 503, "4" }, { "/slow-down", 429, "" } })
        server.server.Get(path, [status, after](const httplib::Request&, httplib::Response& res) {
            res.status = status;
            if (*after)
                res.set_header("Retry-After", after);
            res.set_content("later", "text/plain");
        });
    server.start();
    const std::tuple<const char*, QString, qint64, bool> cases[] = {
        { "503 with Retry-After", server.url("/busy"), 4000, true },
        { "429", server.url("/slow-down"), 1000, true },
        { "reset", hangUp.url("/"), 1000, false },
        { "refused", test::refusedUrl(), 1000, false },
        { "404", server.url("/missing"), -1, false },
        { "500", server.url("/broken"), -1, false },
        { "page", server.url("/page"), -1, false },
    };
    const RetryPolicy policy(2, 5);
    for (const auto& [name, url, waitMs, held] : cases) {
        test::FakePlatform p;
        QtTransferControl inet;
        bool handled = false;
        inet.StateChanged = [&](int state) {
            if (state == TransferControl::icResponseCompleted) {
                handled = true;
                while (!inet.GetChunk(1 << 20).isEmpty()) { }
            }
        };
        inet.setRequestTimeout(5);
        {
            HoldPassingAnswers hold(inet, HoldPassingAnswers::Hold::Yes);
            inet.Execute(url, "GET", {}, {});
            QDeadlineTimer guard(30000);
            while (inet.StillExecuting() && !guard.hasExpired() && p.waitForEvents(100)) { }
            EXPECT_EQ(hold.held(), held) << name;
        }
        if (held)
            EXPECT_FALSE(handled) << name;
        const std::optional<qint64> wait = policy.delayBeforeRetry(
            0, inet.ResponseCode(), inet.httpStatus(), inet.responseHeader("retry-after"), kNow);
        EXPECT_EQ(wait.value_or(-1), waitMs)
            << name << ": error " << inet.ResponseCode() << " status " << inet.httpStatus();
        handled = false;
        inet.StateChanged(TransferControl::icResponseCompleted);
        EXPECT_TRUE(handled) << name;
    }
}

} // namespace
} // namespace tarnwick
