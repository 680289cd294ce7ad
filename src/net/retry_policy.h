#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

namespace tarnwick {

class TransferControl;

/// The most times a spider run asks again for one URL.
inline constexpr int kMaxRetries = 5;

/// When a URL whose request failed is asked again: after a timeout, a reset or refused
/// connection, or a 429, 502, 503 or 504, at most `retries` times, waiting one second and
/// twice as long before each further retry, or as long as the answer's Retry-After says.
/// No wait is longer than the request timeout.
class RetryPolicy {
public:
    RetryPolicy(int retries, int timeoutSeconds);

    int retries() const { return retries_; }
    /// True for the failures that often pass by themselves.
    static bool isPassing(int errorCode, int httpStatus);
    /// The milliseconds to wait before asking again, after `retriesSoFar` retries, for a
    /// request that ended with this error number, HTTP status and Retry-After header;
    /// nothing when it is not asked again.
    std::optional<qint64> delayBeforeRetry(int retriesSoFar, int errorCode, int httpStatus,
        const QString& retryAfter, const QDateTime& now) const;

private:
    int retries_;
    qint64 longestMs_;
};

/// A Retry-After header's wait in milliseconds from `now`: whole seconds, or an HTTP date (0
/// once it has passed); nothing when the header is absent or unreadable.
std::optional<qint64> retryAfterMs(const QString& value, const QDateTime& now);

/// While it lives, keeps a control's answers with a passing status (503 and the like) from
/// its state handler: such an answer is cancelled unread, to be asked for again. Everything
/// else reaches the handler as before.
class HoldPassingAnswers {
public:
    enum class Hold { No, Yes };
    HoldPassingAnswers(TransferControl& inet, Hold hold);
    ~HoldPassingAnswers();
    HoldPassingAnswers(const HoldPassingAnswers&) = delete;
    HoldPassingAnswers& operator=(const HoldPassingAnswers&) = delete;

    /// True when an answer was held back.
    bool held() const { return held_; }

private:
    TransferControl& inet_;
    std::function<void(int)> handler_;
    bool active_;
    bool held_ = false;
};

} // namespace tarnwick
