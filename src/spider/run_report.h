#pragma once

#include "app/page_verdict.h"

#include <QString>

#include <vector>

namespace tarnwick {

/// What became of one URL of a spider run.
enum class Outcome {
    Accepted, ///< the page yielded a record
    Refused, ///< the page arrived but yielded no record
    Timeout,
    Tls, ///< the secure connection could not be set up
    ConnectionRefused,
    HostNotFound,
    HttpStatus, ///< an error status (400 and up) whose page yielded no record
    TooLarge,
    OtherFailure,
    RobotsRefused, ///< not requested: the site's robots.txt refuses it, or could not be read
};
/// The last of the outcomes, for a reader that takes one by its number.
inline constexpr Outcome kLastOutcome = Outcome::RobotsRefused;

/// The outcome of one URL, with the reason in words (empty for an accepted page).
struct UrlOutcome {
    int position = 0; ///< 1 for the list's first entry, as the spidered counter counts
    QString url;
    Outcome outcome = Outcome::Refused;
    QString reason;
    int retries = 0; ///< times it was asked again after a passing failure
};

/// The outcome of every URL a spider run reached, in list order, kept as plain data so the
/// window and the command line show and save the same summary and CSV.
class RunReport {
public:
    /// Starts a run over `total` URLs.
    void clear(int total);
    void add(const UrlOutcome& outcome);
    /// The next outcome added was asked again this many times before it ended as it did.
    void retriedNext(int retries) { retriesOfNext_ = retries; }

    /// Judges a URL from how its request ended: a record added, the transfer control's error
    /// number and text (0 for none), the HTTP status of its answer and, for a page that
    /// arrived, why the response handler kept no record.
    static UrlOutcome judge(int position, const QString& url, bool accepted, int errorCode,
        const QString& errorInfo, int httpStatus, PageVerdict verdict = PageVerdict::NotRead);
    /// How an outcome is named in the summary and the CSV.
    static QString name(Outcome outcome);

    const std::vector<UrlOutcome>& outcomes() const { return outcomes_; }
    int total() const { return total_; }
    int count(Outcome outcome) const;

    /// One line: "Spidered 15 of 15 URLs: 6 accepted, 5 refused by the rules, 4 failed (1
    /// timeout, 3 HTTP status)"; URLs accepted after retries and URLs refused by robots.txt
    /// are counted too when there are any ("6 accepted (1 after retries), ..., 2 refused by
    /// robots.txt, ...").
    QString summaryText() const;
    /// "position,url,outcome,reason" and one row per URL, CR LF line ends.
    QString csvText() const;

private:
    std::vector<UrlOutcome> outcomes_;
    int total_ = 0;
    int retriesOfNext_ = 0;
};

} // namespace tarnwick
