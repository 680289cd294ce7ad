#include "spider/run_courtesy.h"

#include "app/form1.h"
#include "app/platform.h"
#include "app/stoppable_wait.h"
#include "app/text_ops.h"

namespace tarnwick {

int retriesAllowed(const Form1& f)
{
    bool ok = false;
    const int retries = f.Combo9.Text().trimmed().toInt(&ok);
    return ok && retries >= 0 && retries <= kMaxRetries ? retries : 0;
}

RunCourtesy::RunCourtesy(Form1& f, Platform& p, const QString& headers)
    : f_(f)
    , p_(p)
    , retry_(retriesAllowed(f), static_cast<int>(roundHalfEven(Val(f.Combo2.Text()))))
{
    if (f.Check9.Value() != 0) {
        hosts_ = std::make_unique<PoliteHosts>(*f.Inet1,
            PoliteHosts::Fetching {
                f.Text4.Text(), headers, static_cast<int>(roundHalfEven(Val(f.Combo2.Text()))) },
            [&p] { return p.now(); });
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
