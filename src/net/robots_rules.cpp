#include "net/robots_rules.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace tarnwick {

namespace {

// A Crawl-delay beyond a day is nonsense, and would overflow once in milliseconds.
constexpr double kLongestDelaySeconds = 24 * 60 * 60;

bool isUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
        || c == '_' || c == '~';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A User-agent line names a crawler by its product token; anything after it (a version, a
// comment) does not take part in the match.
QString agentName(const QString& value)
{
    qsizetype end = 0;
    while (end < value.size() && value[end] != u'/' && !value[end].isSpace())
        ++end;
    return value.left(end);
}

// Where `piece` first occurs in `path` at or after `from`, or -1. A short piece is looked for
// character by character, which costs at most its length per character of the path; a longer
// one with Knuth-Morris-Pratt, which reads the path once however the piece repeats itself.
qsizetype find(QStringView path, qsizetype from, QStringView piece, std::vector<qsizetype>& fallback)
{
    constexpr qsizetype kShortPiece = 8;
    if (piece.size() > path.size() - from)
        return -1;
    if (piece.size() <= kShortPiece)
        return path.indexOf(piece, from);
    // fallback[k]: how much of the piece still matches after the first k + 1 characters fail.
    fallback.assign(static_cast<std::size_t>(piece.size()), 0);
    for (qsizetype i = 1, k = 0; i < piece.size(); ++i) {
        while (k > 0 && piece[i] != piece[k])
            k = fallback[static_cast<std::size_t>(k - 1)];
        if (piece[i] == piece[k])
            ++k;
        fallback[static_cast<std::size_t>(i)] = k;
    }
    for (qsizetype i = from, k = 0; i < path.size(); ++i) {
        while (k > 0 && path[i] != piece[k])
            k = fallback[static_cast<std::size_t>(k - 1)];
        if (path[i] == piece[k] && ++k == piece.size())
            return i + 1 - k;
    }
    return -1;
}

// True when `pattern` matches the start of `path` ('*' for any run of characters, a final
// '$' for the end of the path). Each piece between two '*' is taken where it first occurs
// after the one before, which leaves the most room for the rest, so one pass over the path
// decides: a 512 KiB file of wildcards costs as much as any other rules of that size.
bool matches(const QString& pattern, const QString& path, std::vector<qsizetype>& scratch)
{
    const bool toEnd = pattern.endsWith(u'$');
    const QList<QStringView> pieces = QStringView(pattern).chopped(toEnd ? 1 : 0).split(u'*');
    const QStringView target(path);
    if (!target.startsWith(pieces.front()))
        return false;
    if (pieces.size() == 1)
        return !toEnd || target.size() == pieces.front().size();
    qsizetype at = pieces.front().size();
    for (qsizetype i = 1; i + 1 < pieces.size(); ++i) {
        at = find(target, at, pieces[i], scratch);
        if (at < 0)
            return false;
        at += pieces[i].size();
    }
    const QStringView last = pieces.back();
    if (toEnd)
        return target.size() - last.size() >= at && target.endsWith(last);
    return find(target, at, last, scratch) >= 0;
}

struct Group {
    QStringList agents;
    std::vector<int> lines; ///< indexes into the parsed rule lines
};

struct Line {
    enum Kind { Allow, Disallow, CrawlDelay } kind;
    QString value;
    QString text;
};

} // namespace

QString productToken(const QString& userAgent)
{
    return agentName(userAgent.trimmed());
}

QString robotsPath(const QUrl& url)
{
    QString path = url.path(QUrl::FullyEncoded);
    if (path.isEmpty())
        path = QStringLiteral("/");
    if (url.hasQuery())
        path += QLatin1Char('?') + url.query(QUrl::FullyEncoded);
    return path;
}

QString normalisePercentEncoding(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    QString out;
    auto encode
        = [&out](unsigned char b) { out += QStringLiteral("%%1").arg(b, 2, 16, QLatin1Char('0')).toUpper(); };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        // The bytes end in a '\0', which is no hex digit: a cut escape stops there.
        const char* const at = bytes.constData() + i;
        if (b == '%' && hexValue(at[1]) >= 0 && hexValue(at[2]) >= 0) {
            const auto decoded = static_cast<unsigned char>(hexValue(at[1]) * 16 + hexValue(at[2]));
            if (isUnreserved(decoded))
                out += QLatin1Char(static_cast<char>(decoded));
            else
                encode(decoded);
            i += 2;
        } else if (b <= 0x20 || b >= 0x7F || b == '%') {
            // A '%' that starts no escape is encoded, as a URL has it; left bare, a decoded
            // character after it could make it start one, and a second pass would differ.
            encode(b);
        } else {
            out += QLatin1Char(static_cast<char>(b));
        }
    }
    return out;
}

RobotsRules RobotsRules::parse(const QString& text, const QString& productToken)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    std::vector<Group> groups;
    std::vector<Line> lines;
    // A User-agent line after a rule starts a new group; several in a row share one.
    bool groupHasRules = true;
    for (QString raw : text.left(kMaxChars).split(lineBreak)) {
        raw = raw.left(raw.indexOf(u'#'));
        const qsizetype colon = raw.indexOf(u':');
        if (colon == -1)
            continue;
        const QString key = raw.left(colon).trimmed().toLower();
        const QString value = raw.mid(colon + 1).trimmed();
        if (key == QLatin1String("user-agent")) {
            if (groupHasRules)
                groups.emplace_back();
            groupHasRules = false;
            groups.back().agents.append(agentName(value));
            continue;
        }
        Line line;
        if (key == QLatin1String("allow"))
            line.kind = Line::Allow;
        else if (key == QLatin1String("disallow"))
            line.kind = Line::Disallow;
        else if (key == QLatin1String("crawl-delay"))
            line.kind = Line::CrawlDelay;
        else
            continue; // Sitemap and records of other crawlers' dialects
        // Rules before the first User-agent line belong to no group.
        if (groups.empty())
            continue;
        groupHasRules = true;
        line.value = value;
        line.text = QStringLiteral("%1: %2").arg(line.kind == Line::Allow ? QStringLiteral("Allow")
                : line.kind == Line::Disallow                             ? QStringLiteral("Disallow")
                                                                          : QStringLiteral("Crawl-delay"),
            value);
        groups.back().lines.push_back(static_cast<int>(lines.size()));
        lines.push_back(std::move(line));
    }

    auto chosen = [&](auto&& named) {
        std::vector<const Group*> found;
        for (const Group& group : groups) {
            if (std::any_of(group.agents.begin(), group.agents.end(), named))
                found.push_back(&group);
        }
        return found;
    };
    std::vector<const Group*> mine = chosen([&productToken](const QString& agent) {
        return !productToken.isEmpty() && agent.compare(productToken, Qt::CaseInsensitive) == 0;
    });
    if (mine.empty())
        mine = chosen([](const QString& agent) { return agent == QLatin1String("*"); });

    RobotsRules rules;
    for (const Group* group : mine) {
        for (const int index : group->lines) {
            const Line& line = lines[static_cast<std::size_t>(index)];
            if (line.kind == Line::CrawlDelay) {
                // What does not read as a number is 0, and 0 or less adds nothing to the longest.
                const double seconds = line.value.toDouble();
                if (std::isfinite(seconds))
                    rules.crawlDelayMs_ = std::max(rules.crawlDelayMs_,
                        static_cast<qint64>(std::min(seconds, kLongestDelaySeconds) * 1000));
            } else if (!line.value.isEmpty()) {
                // An empty Disallow allows everything, which is what no rule does too.
                rules.rules_.push_back(
                    { line.kind == Line::Allow, normalisePercentEncoding(line.value), line.text });
            }
        }
    }
    return rules;
}

RobotsRules::Verdict RobotsRules::check(const QString& path) const
{
    const QString target = normalisePercentEncoding(path);
    if (target == QLatin1String("/robots.txt"))
        return {};
    const Rule* best = nullptr;
    std::vector<qsizetype> scratch;
    for (const Rule& rule : rules_) {
        if (!matches(rule.pattern, target, scratch))
            continue;
        // The longest pattern is the most specific; of two as long, Allow wins.
        if (best == nullptr || rule.pattern.size() > best->pattern.size()
            || (rule.pattern.size() == best->pattern.size() && rule.allow && !best->allow))
            best = &rule;
    }
    if (best == nullptr)
        return {};
    return { best->allow, best->text };
}

} // namespace tarnwick
