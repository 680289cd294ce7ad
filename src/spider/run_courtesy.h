#pragma once

#include "net/polite_hosts.h"
#include "net/retry_policy.h"

#include <QString>

#include <memory>
#include <optional>

namespace tarnwick {

class Form1;
class Platform;

/// Retries a spider run may take for one URL: the retries box (Combo9) when it holds a plain
/// whole number from 0 to kMaxRetries (typed or picked); nothing otherwise, which the
/// set-loose checks refuse.
std::optional<int> retriesSetting(const Form1& f);

/// The courtesies a spider run keeps when asked to: robots.txt and its Crawl-delay ("Obey
/// robots.txt", Check9) and asking again for URLs that failed for a passing reason
/// ("Retries:", Combo9). With neither, every URL may go at once and nothing is asked again.
class RunCourtesy {
public:
    /// What to do once a URL's request has ended.
    enum class Next {
        Done, ///< judge it as it ended
        AskAgain, ///< the wait is over: request it again
        Stopped, ///< Stop All came during the wait: judge the failure without reading its answer
        Unloaded, ///< the window was unloaded: end at once
    };

    /// A run from the window's settings; robots.txt goes out with `headers`, the header block
    /// of the run's requests.
    RunCourtesy(Form1& f, Platform& p, const QString& headers);

    /// Whether `url` may be requested now, and why not.
    Admission admit(const QString& url);
    /// True when `url` may be requested now, which it then is: the caller starts it at once.
    bool takeTurn(const QString& url);
    /// One request at a time: waits until `url` may be requested, letting events run.
    Turn awaitTurn(const QString& url, QString& reason);
    /// Whether an answer with a passing status is kept from the handler, to be asked for again.
    HoldPassingAnswers::Hold holdFor(int retriesSoFar) const;
    /// After a request of `url` ended this way: waits the back-off when it is to be asked again.
    Next afterRequest(int retriesSoFar, int errorCode, int httpStatus, const QString& retryAfter);

private:
    Form1& f_;
    Platform& p_;
    RetryPolicy retry_;
    std::unique_ptr<PoliteHosts> hosts_;
};

} // namespace tarnwick
