#pragma once

#include "net/robots_rules.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace tarnwick {

class Label;
class Platform;
class TransferControl;

/// What a run that obeys robots.txt may do with a URL now.
struct Admission {
    enum class Kind { Go, Refused, Wait };
    Kind kind = Kind::Go;
    /// Why it is refused: the rule, or why the site's robots.txt could not be read.
    QString reason;
    /// How long until the host may be asked again; 0 while its robots.txt is on its way, which
    /// only events bring.
    qint64 waitMs = 0;
};

/// How a wait for a URL's turn ended.
enum class Turn { Go, Refused, Stopped, Unloaded };

/// The robots.txt of every site a run reaches, each fetched once and kept for the run, and
/// the Crawl-delay spacing of the requests to each site. A robots.txt is fetched on a
/// control of its own, beside the run's requests, so waiting for one holds up no other site.
/// A site whose robots.txt answers 4xx (but 429) allows everything; one that answers 429 or
/// 5xx, or does not answer, refuses everything for the run.
class PoliteHosts {
public:
    /// The longest Crawl-delay obeyed: a site asking for more still gets a request every so
    /// often, so one site cannot hold a long run up for hours.
    static constexpr qint64 kMaxCrawlDelayMs = 30000;

    /// How robots.txt is fetched: as the run's own requests are.
    struct Fetching {
        QString userAgent;
        QString headers; ///< the header block, as Execute takes it
        int timeoutSeconds = 0;
    };

    /// Robots.txt requests go out on siblings of `origin`; `now` is the run's clock.
    PoliteHosts(TransferControl& origin, Fetching fetching, std::function<QDateTime()> now);
    ~PoliteHosts();
    PoliteHosts(const PoliteHosts&) = delete;
    PoliteHosts& operator=(const PoliteHosts&) = delete;

    /// Whether `url` may be requested now. Starts the fetch of its site's robots.txt the
    /// first time the site is asked about; the answer arrives while events are pumped.
    Admission admit(const QString& url);
    /// Notes that a request to `url`'s site starts now.
    void started(const QString& url);
    /// Waits, letting events run, until `url` may be requested (and then notes its start),
    /// is refused (`reason` says why), Stop All is chosen or the window is unloaded.
    Turn awaitTurn(Platform& p, const Label& stopFlag, const QString& url, QString& reason);

private:
    struct Site {
        bool known = false;
        RobotsRules rules;
        QString unreachable; ///< why the robots.txt could not be read; empty when it was
        QDateTime lastStart;
    };
    struct Fetch {
        std::unique_ptr<TransferControl> control;
        QString site; ///< empty while the control is idle
    };

    void fetchRobots(const QString& site, const QUrl& url);
    void robotsAnswered(Fetch& fetch, int state);

    TransferControl& origin_;
    Fetching fetching_;
    QString productToken_;
    std::function<QDateTime()> now_;
    QHash<QString, Site> sites_;
    std::vector<std::unique_ptr<Fetch>> fetches_;
};

} // namespace tarnwick
