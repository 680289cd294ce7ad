#include "spider/run_report.h"

#include "net/transfer_control.h"

#include <QNetworkReply>

#include <algorithm>
#include <utility>

namespace tarnwick {

namespace {

struct OutcomeKind {
    Outcome outcome;
    const char* name;
    bool failure;
};

// Summary and CSV list the outcomes in this order.
const OutcomeKind kOutcomes[] = {
    { Outcome::Accepted, "accepted", false },
    { Outcome::Refused, "refused by the rules", false },
    { Outcome::Timeout, "timeout", true },
    { Outcome::Tls, "TLS", true },
    { Outcome::ConnectionRefused, "refused connection", true },
    { Outcome::HostNotFound, "DNS", true },
    { Outcome::HttpStatus, "HTTP status", true },
    { Outcome::TooLarge, "too large", true },
    { Outcome::OtherFailure, "other failure", true },
    { Outcome::RobotsRefused, "refused by robots.txt", false },
};

// The transfer control's error numbers and what they mean to the user; any other number is
// an other failure (a dropped connection, a broken answer, an address that is not one).
const struct {
    int code;
    Outcome outcome;
} kErrors[] = {
    { TransferControl::kErrorTimeout, Outcome::Timeout },
    { QNetworkReply::TimeoutError, Outcome::Timeout },
    { QNetworkReply::SslHandshakeFailedError, Outcome::Tls },
    { QNetworkReply::ConnectionRefusedError, Outcome::ConnectionRefused },
    { QNetworkReply::HostNotFoundError, Outcome::HostNotFound },
    { TransferControl::kErrorTooLarge, Outcome::TooLarge },
    { TransferControl::kErrorRobotsRefused, Outcome::RobotsRefused },
};

QString retriesText(int retries)
{
    return retries == 1 ? QStringLiteral("after 1 retry") : QStringLiteral("after %1 retries").arg(retries);
}

// A field as a spreadsheet reads it: quoted when it must be, controls as spaces, and text
// that a spreadsheet would run as a formula led by an apostrophe.
QString csvField(QString text)
{
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    }
    if (!text.isEmpty() && QStringLiteral("=+-@").contains(text.front()))
        text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))) {
        text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

} // namespace

void RunReport::clear(int total)
{
    outcomes_.clear();
    total_ = total;
    retriesOfNext_ = 0;
}

void RunReport::add(const UrlOutcome& outcome)
{
    outcomes_.push_back(outcome);
    // One read back from a journal keeps its retries, and its reason already says them.
    const int retries = std::exchange(retriesOfNext_, 0);
    if (retries == 0)
        return;
    UrlOutcome& added = outcomes_.back();
    added.retries = retries;
    added.reason = added.outcome == Outcome::Accepted
        ? QStringLiteral("accepted ") + retriesText(added.retries)
        : added.reason + QStringLiteral(" (") + retriesText(added.retries) + QLatin1Char(')');
}

UrlOutcome RunReport::judge(int position, const QString& url, bool accepted, int errorCode,
    const QString& errorInfo, int httpStatus, PageVerdict verdict)
{
    UrlOutcome result { position, url, Outcome::Accepted, {} };
    if (accepted)
        return result;
    if (errorCode != 0) {
        result.outcome = Outcome::OtherFailure;
        for (const auto& error : kErrors) {
            if (error.code == errorCode)
                result.outcome = error.outcome;
        }
        result.reason = errorInfo.isEmpty() ? QStringLiteral("error %1").arg(errorCode) : errorInfo;
    } else if (httpStatus >= 400) {
        result.outcome = Outcome::HttpStatus;
        result.reason = QStringLiteral("HTTP status %1").arg(httpStatus);
    } else {
        result.outcome = Outcome::Refused;
        result.reason = pageVerdictText(verdict);
    }
    return result;
}

QString RunReport::name(Outcome outcome)
{
    for (const OutcomeKind& kind : kOutcomes) {
        if (kind.outcome == outcome)
            return QLatin1String(kind.name);
    }
    return {};
}

int RunReport::count(Outcome outcome) const
{
    return static_cast<int>(std::count_if(
        outcomes_.begin(), outcomes_.end(), [outcome](const UrlOutcome& o) { return o.outcome == outcome; }));
}

QString RunReport::summaryText() const
{
    QStringList failures;
    int failed = 0;
    for (const OutcomeKind& kind : kOutcomes) {
        const int n = count(kind.outcome);
        if (kind.failure && n > 0) {
            failed += n;
            failures.append(QStringLiteral("%1 %2").arg(n).arg(QLatin1String(kind.name)));
        }
    }
    const auto retried = std::count_if(outcomes_.begin(), outcomes_.end(),
        [](const UrlOutcome& o) { return o.outcome == Outcome::Accepted && o.retries > 0; });
    QString text = QStringLiteral("Spidered %1 of %2 URLs: %3 accepted")
                       .arg(outcomes_.size())
                       .arg(total_)
                       .arg(count(Outcome::Accepted));
    if (retried > 0)
        text += QStringLiteral(" (%1 after retries)").arg(retried);
    text += QStringLiteral(", %1 refused by the rules").arg(count(Outcome::Refused));
    if (const int robots = count(Outcome::RobotsRefused); robots > 0)
        text += QStringLiteral(", %1 refused by robots.txt").arg(robots);
    text += QStringLiteral(", %1 failed").arg(failed);
    if (!failures.isEmpty())
        text += QStringLiteral(" (") + failures.join(QStringLiteral(", ")) + QLatin1Char(')');
    return text;
}

QString RunReport::csvText() const
{
    QString text = QStringLiteral("position,url,outcome,reason\r\n");
    for (const UrlOutcome& o : outcomes_) {
        text += QString::number(o.position) + QLatin1Char(',') + csvField(o.url) + QLatin1Char(',')
            + csvField(name(o.outcome)) + QLatin1Char(',') + csvField(o.reason) + QStringLiteral("\r\n");
    }
    return text;
}

} // namespace tarnwick
