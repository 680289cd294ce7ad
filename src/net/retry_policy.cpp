#include "net/retry_policy.h"

#include "net/blocking_fetch.h"
#include "net/transfer_control.h"

#include <QNetworkReply>

#include <algorithm>

namespace tarnwick {

namespace {

constexpr qint64 kFirstBackOffMs = 1000;

bool isPassingStatus(int httpStatus)
{
    return httpStatus == 429 || httpStatus == 502 || httpStatus == 503 || httpStatus == 504;
}

// An HTTP date: "Sun, 06 Nov 1994 08:49:37 GMT", or the older "Sunday, 06-Nov-94 08:49:37 GMT"
// and "Sun Nov  6 08:49:37 1994" that HTTP still asks readers to accept; all in UTC.
QDateTime httpDate(const QString& text)
{
    QString fixed = text.simplified();
    if (fixed.endsWith(QLatin1String(" GMT")))
        fixed = fixed.chopped(4) + QStringLiteral(" +0000");
    QDateTime when = QDateTime::fromString(fixed, Qt::RFC2822Date);
    if (when.isValid())
        return when;
    const QString noZone = text.simplified().remove(QStringLiteral(" GMT"));
    // The weekday goes first: it would not match a two-digit year's last century.
    when = QDateTime::fromString(
        noZone.section(QStringLiteral(", "), 1), QStringLiteral("dd-MMM-yy hh:mm:ss"));
    // Two-digit years are of this century, which is what a server sending them means today.
    if (when.isValid())
        when = when.addYears(100);
    else
        when = QDateTime::fromString(noZone, QStringLiteral("ddd MMM d hh:mm:ss yyyy"));
    if (when.isValid())
        when.setTimeSpec(Qt::UTC);
    return when;
}

} // namespace

RetryPolicy::RetryPolicy(int retries, int timeoutSeconds)
    : retries_(std::clamp(retries, 0, kMaxRetries))
    , longestMs_(requestTimeoutMs(timeoutSeconds))
{
}

bool RetryPolicy::isPassing(int errorCode, int httpStatus)
{
    switch (errorCode) {
    case 0: return isPassingStatus(httpStatus);
    case TransferControl::kErrorTimeout:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError: return true;
    default: return false;
    }
}

std::optional<qint64> RetryPolicy::delayBeforeRetry(
    int retriesSoFar, int errorCode, int httpStatus, const QString& retryAfter, const QDateTime& now) const
{
    if (retriesSoFar >= retries_ || !isPassing(errorCode, httpStatus))
        return std::nullopt;
    const std::optional<qint64> asked = errorCode == 0 ? retryAfterMs(retryAfter, now) : std::nullopt;
    const qint64 wait = asked ? *asked : kFirstBackOffMs << std::min(retriesSoFar, 20);
    return std::min(wait, longestMs_);
}

std::optional<qint64> retryAfterMs(const QString& value, const QDateTime& now)
{
    const QString text = value.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool isNumber = false;
    const qlonglong seconds = text.toLongLong(&isNumber);
    if (isNumber)
        return seconds < 0 ? std::nullopt : std::optional<qint64>(std::min<qlonglong>(seconds, 86400) * 1000);
    const QDateTime when = httpDate(text);
    if (!when.isValid())
        return std::nullopt;
    return std::max<qint64>(0, now.msecsTo(when));
}

HoldPassingAnswers::HoldPassingAnswers(TransferControl& inet, Hold hold)
    : inet_(inet)
    , handler_(inet.StateChanged)
    , active_(hold == Hold::Yes)
{
    if (!active_)
        return;
    inet_.StateChanged = [this](int state) {
        if (state == TransferControl::icResponseCompleted && isPassingStatus(inet_.httpStatus())) {
            held_ = true;
            inet_.Cancel();
            return;
        }
        if (handler_)
            handler_(state);
    };
}

HoldPassingAnswers::~HoldPassingAnswers()
{
    if (active_)
        inet_.StateChanged = handler_;
}

} // namespace tarnwick
