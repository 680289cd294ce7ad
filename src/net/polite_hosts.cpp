#include "net/polite_hosts.h"

#include "app/platform.h"
#include "app/stoppable_wait.h"
#include "net/blocking_fetch.h"
#include "net/transfer_control.h"

#include <algorithm>
#include <limits>

namespace tarnwick {

namespace {

// A robots.txt applies to one scheme, host and port.
QString siteKey(const QUrl& url)
{
    return url.scheme().toLower() + QStringLiteral("://") + url.host().toLower() + QLatin1Char(':')
        + QString::number(
            url.port(url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ? 443 : 80));
}

// Whether an answer to a robots.txt request closes the site for the run. A 429 asks for fewer
// requests; reading it as "no robots.txt", as other 4xx answers are, would do the opposite.
bool closesTheSite(int httpStatus)
{
    return httpStatus < 200 || httpStatus == 429 || httpStatus >= 500;
}

} // namespace

PoliteHosts::PoliteHosts(TransferControl& origin, Fetching fetching, std::function<QDateTime()> now)
    : origin_(origin)
    , fetching_(std::move(fetching))
    , productToken_(productToken(fetching_.userAgent))
    , now_(std::move(now))
{
}

PoliteHosts::~PoliteHosts()
{
    // A robots.txt request still on its way ends with its control, which must not call back.
    for (const std::unique_ptr<Fetch>& fetch : fetches_)
        fetch->control->StateChanged = nullptr;
}

Admission PoliteHosts::admit(const QString& url)
{
    const QUrl target = requestUrl(url);
    // An address that is none fails in the transfer control, as without robots.txt.
    if (!target.isValid() || target.host().isEmpty())
        return {};
    const QString key = siteKey(target);
    const auto at = sites_.find(key);
    if (at == sites_.end()) {
        fetchRobots(key, target);
        return { Admission::Kind::Wait, {}, 0 };
    }
    const Site& site = *at;
    if (!site.known)
        return { Admission::Kind::Wait, {}, 0 };
    if (!site.unreachable.isEmpty())
        return { Admission::Kind::Refused, site.unreachable, 0 };
    const RobotsRules::Verdict verdict = site.rules.check(robotsPath(target));
    if (!verdict.allowed)
        return { Admission::Kind::Refused, QStringLiteral("robots.txt: ") + verdict.rule, 0 };
    const qint64 delay = std::min(site.rules.crawlDelayMs(), kMaxCrawlDelayMs);
    // A known site has had its robots.txt asked for, which started the clock.
    const qint64 left = delay - site.lastStart.msecsTo(now_());
    if (left > 0)
        return { Admission::Kind::Wait, {}, left };
    return {};
}

void PoliteHosts::started(const QString& url)
{
    const QUrl target = requestUrl(url);
    const auto at = sites_.find(siteKey(target));
    if (at != sites_.end())
        at->lastStart = now_();
}

Turn PoliteHosts::awaitTurn(Platform& p, const Label& stopFlag, const QString& url, QString& reason)
{
    for (;;) {
        const Admission admission = admit(url);
        if (admission.kind == Admission::Kind::Go) {
            started(url);
            return Turn::Go;
        }
        if (admission.kind == Admission::Kind::Refused) {
            reason = admission.reason;
            return Turn::Refused;
        }
        if (admission.waitMs > 0) {
            const WaitEnd end = waitUnlessStopped(p, stopFlag, admission.waitMs);
            if (end != WaitEnd::Elapsed)
                return end == WaitEnd::Stopped ? Turn::Stopped : Turn::Unloaded;
            continue;
        }
        if (stopFlag.Caption() == QLatin1String("0"))
            return Turn::Stopped;
        if (!p.waitForEvents(kWaitSliceMs))
            return Turn::Unloaded;
    }
}

void PoliteHosts::fetchRobots(const QString& site, const QUrl& url)
{
    Site& entry = sites_[site];
    entry.lastStart = now_();
    auto idle = std::find_if(
        fetches_.begin(), fetches_.end(), [](const std::unique_ptr<Fetch>& f) { return f->site.isEmpty(); });
    Fetch* fetch = idle != fetches_.end() ? idle->get() : nullptr;
    if (fetch == nullptr) {
        fetches_.push_back(std::make_unique<Fetch>());
        fetch = fetches_.back().get();
        fetch->control = origin_.makeSibling();
        fetch->control->StateChanged = [this, fetch](int state) { robotsAnswered(*fetch, state); };
    }
    fetch->site = site;
    QUrl robots;
    robots.setScheme(url.scheme());
    robots.setHost(url.host());
    robots.setPort(url.port());
    robots.setPath(QStringLiteral("/robots.txt"));
    fetch->control->setRequestTimeout(fetching_.timeoutSeconds);
    fetch->control->Execute(
        robots.toString(QUrl::FullyEncoded), QStringLiteral("GET"), {}, fetching_.headers);
}

void PoliteHosts::robotsAnswered(Fetch& fetch, int state)
{
    if (fetch.site.isEmpty()
        || (state != TransferControl::icResponseCompleted && state != TransferControl::icError))
        return;
    Site& site = sites_[fetch.site];
    fetch.site.clear();
    site.known = true;
    TransferControl& control = *fetch.control;
    if (state == TransferControl::icError) {
        site.unreachable = QStringLiteral("robots.txt unreachable: ")
            + (control.ResponseInfo().isEmpty() ? QStringLiteral("error %1").arg(control.ResponseCode())
                                                : control.ResponseInfo());
        return;
    }
    QString body;
    const int all = std::numeric_limits<int>::max();
    for (QString piece = control.GetChunk(all); !piece.isEmpty(); piece = control.GetChunk(all))
        body += piece;
    const int status = control.httpStatus();
    // A 4xx, or a redirect the control would not follow, leaves the site without rules.
    if (closesTheSite(status))
        site.unreachable = QStringLiteral("robots.txt unreachable: HTTP status %1").arg(status);
    else if (status < 300)
        site.rules = RobotsRules::parse(body.startsWith(QChar(0xFEFF)) ? body.mid(1) : body, productToken_);
}

} // namespace tarnwick
