#pragma once

#include <QString>
#include <QUrl>

#include <vector>

namespace tarnwick {

/// What one site's robots.txt asks of one crawler: the rules of the groups for the crawler's
/// product token, else those of the "*" group, and the group's Crawl-delay.
class RobotsRules {
public:
    /// The most of a robots.txt that is read; the rest is ignored, as a 500 KiB file is
    /// already far beyond any real one.
    static constexpr qsizetype kMaxChars = 512 * 1024;

    /// Whether a path may be fetched, and the rule that decided it ("Disallow: /private/"),
    /// empty when no rule matched.
    struct Verdict {
        bool allowed = true;
        QString rule;
    };

    /// Rules that allow everything: a site without a robots.txt.
    RobotsRules() = default;
    /// The rules `text` gives the crawler whose product token is `productToken`.
    static RobotsRules parse(const QString& text, const QString& productToken);

    /// The verdict for a path with its query ("/a/b?c=d"), as robotsPath() gives it.
    Verdict check(const QString& path) const;
    /// The Crawl-delay of the chosen groups in milliseconds; 0 when none is given.
    qint64 crawlDelayMs() const { return crawlDelayMs_; }

private:
    struct Rule {
        bool allow;
        QString pattern; ///< normalised, with its '*' and trailing '$'
        QString text; ///< as the file wrote it, for the report
    };
    std::vector<Rule> rules_;
    qint64 crawlDelayMs_ = 0;
};

/// The product token of a User-Agent text: what comes before its first '/' or blank.
QString productToken(const QString& userAgent);
/// The path and query of `url` that robots.txt rules are matched against ("/" for none).
QString robotsPath(const QUrl& url);
/// `text` with every octet outside US-ASCII and every '%' that starts no escape
/// percent-encoded as UTF-8, every percent-encoded unreserved character decoded, and the hex
/// digits of the rest in upper case, so that a path and a rule compare alike however each was
/// written. A second pass changes nothing.
QString normalisePercentEncoding(const QString& text);

} // namespace tarnwick
