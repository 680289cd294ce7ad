#include "spider/run_courtesy.h"

#include "app/form1.h"
#include "app/platform.h"
#include "app/stoppable_wait.h"
#include "app/text_ops.h"

namespace tarnwick {

namespace {

int timeoutSeconds(const Form1& f)
{
    return static_cast<int>(roundHalfEven(Val(f.Combo2.Text())));
}

} // namespace

std::optional<int> retriesSetting(const Form1& f)
{
    const std::optional<int> retries = wholeNumber(f.Combo9.Text());
    if (retries && *retries > kMaxRetries)
        return std::nullopt;
    return retries;
}

RunCourtesy::RunCourtesy(Form1& f, Platform& p, const QString& headers)
    : f_(f)
    , p_(p)
    , retry_(retriesSetting(f).value_or(0), timeoutSeconds(f))
{
    if (f.Check9.Value() != 0) {
        hosts_ = std::make_unique<PoliteHosts>(*f.Inet1,
            PoliteHosts::Fetching { f.Text4.Text(), headers, timeoutSeconds(f) }, [&p] { return p.now(); });
    }
}

Admission RunCourtesy::admit(const QString& url)
{
    return hosts_ ? hosts_->admit(url) : Admission {};
}

bool RunCourtesy::takeTurn(const QString& url)
{
    if (!hosts_)
        return true;
    if (hosts_->admit(url).kind != Admission::Kind::Go)
        return false;
    hosts_->started(url);
    return true;
}

Turn RunCourtesy::awaitTurn(const QString& url, QString& reason)
{
    return hosts_ ? hosts_->awaitTurn(p_, f_.Label3, url, reason) : Turn::Go;
}

HoldPassingAnswers::Hold RunCourtesy::holdFor(int retriesSoFar) const
{
    return retriesSoFar < retry_.retries() ? HoldPassingAnswers::Hold::Yes : HoldPassingAnswers::Hold::No;
}

RunCourtesy::Next RunCourtesy::afterRequest(
    int retriesSoFar, int errorCode, int httpStatus, const QString& retryAfter)
{
    const std::optional<qint64> wait
        = retry_.delayBeforeRetry(retriesSoFar, errorCode, httpStatus, retryAfter, p_.now());
    if (!wait)
        return Next::Done;
    // A wait of up to the timeout must not look like a hung window.
    f_.setCaption(QStringLiteral("Tarnwick - Asking again in %1 s").arg((*wait + 999) / 1000));
    switch (waitUnlessStopped(p_, f_.Label3, *wait)) {
    case WaitEnd::Elapsed: return Next::AskAgain;
    case WaitEnd::Stopped: return Next::Stopped;
    case WaitEnd::Unloaded: return Next::Unloaded;
    }
    return Next::Done;
}

} // namespace tarnwick
