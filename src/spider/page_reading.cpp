#include "spider/page_reading.h"

#include "app/text_ops.h"

#include <optional>

namespace tarnwick {

namespace {

// The old spider tested the first piece it read, 1024 characters, for a server error page.
constexpr qsizetype kFirstPiece = 1024;

bool isHtmlSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\f';
}

bool isAsciiAlpha(QChar c)
{
    const char16_t u = c.unicode() | 0x20;
    return u >= 'a' && u <= 'z';
}

// Tag and attribute names fold ASCII letters only, as a parser folds them.
QString asciiLower(QStringView text)
{
    QString folded = text.toString();
    for (QChar& c : folded) {
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            c = QChar(c.unicode() | 0x20);
    }
    return folded;
}

// Every run of white space or control characters becomes one space, so a field never
// breaks its record's line and no escape sequence reaches a terminal or a file name.
QString collapseBlanks(const QString& text)
{
    QString out;
    bool pendingSpace = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u <= 0x20 || (u >= 0x7F && u <= 0xA0) || u == 0x2028 || u == 0x2029) {
            pendingSpace = !out.isEmpty();
            continue;
        }
        if (pendingSpace)
            out += QLatin1Char(' ');
        pendingSpace = false;
        out += c;
    }
    return out;
}

// Characters, not UTF-16 units: an emoji counts once.
qsizetype characterCount(const QString& text)
{
    qsizetype count = 0;
    for (const QChar c : text)
        count += c.isLowSurrogate() ? 0 : 1;
    return count;
}

// A start or end tag, keeping of its attributes only the two a description needs.
struct Tag {
    QString name;
    bool end = false;
    std::optional<QString> nameAttribute; // the first of each, as written
    std::optional<QString> content;
};

/// A left-to-right reader of the head's tags.
class HeadCursor {
public:
    explicit HeadCursor(QStringView text)
        : text_(text)
    {
    }

    qsizetype pos() const { return pos_; }
    void moveTo(qsizetype pos) { pos_ = pos; }
    bool atEnd() const { return pos_ >= text_.size(); }
    QChar at(qsizetype ahead = 0) const
    {
        return pos_ + ahead < text_.size() ? text_.at(pos_ + ahead) : QChar();
    }

    /// Reads "<name ...>" or "</name ...>" from the "<" here; false when the text ends inside
    /// the tag, which drops it as a parser does.
    bool readTag(Tag& tag)
    {
        tag = Tag();
        ++pos_;
        if (at() == QLatin1Char('/')) {
            tag.end = true;
            ++pos_;
        }
        tag.name = asciiLower(readName(false));
        for (;;) {
            while (!atEnd() && (isHtmlSpace(at()) || at() == QLatin1Char('/')))
                ++pos_;
            if (atEnd())
                return false;
            if (at() == QLatin1Char('>')) {
                ++pos_;
                return true;
            }
            const QString name = asciiLower(readName(true));
            skipSpaces();
            QString value;
            if (at() == QLatin1Char('=')) {
                ++pos_;
                skipSpaces();
                if (atEnd() || !readValue(value))
                    return false;
            }
            // A parser keeps the first of two attributes with one name.
            if (name == QLatin1String("name") && !tag.nameAttribute)
                tag.nameAttribute = value;
            else if (name == QLatin1String("content") && !tag.content)
                tag.content = value;
        }
    }

private:
    // An attribute's name may begin with "=", which then belongs to it.
    QStringView readName(bool attribute)
    {
        const qsizetype start = pos_;
        if (attribute)
            ++pos_;
        while (!atEnd() && !isHtmlSpace(at()) && at() != QLatin1Char('/') && at() != QLatin1Char('>')
            && !(attribute && at() == QLatin1Char('=')))
            ++pos_;
        return text_.mid(start, pos_ - start);
    }

    bool readValue(QString& value)
    {
        const QChar quote = at();
        if (quote == QLatin1Char('"') || quote == QLatin1Char('\'')) {
            const qsizetype close = text_.indexOf(quote, pos_ + 1);
            if (close < 0)
                return false;
            value = text_.mid(pos_ + 1, close - pos_ - 1).toString();
            pos_ = close + 1;
            return true;
        }
        const qsizetype start = pos_;
        while (!atEnd() && !isHtmlSpace(at()) && at() != QLatin1Char('>'))
            ++pos_;
        value = text_.mid(start, pos_ - start).toString();
        return !atEnd();
    }

    void skipSpaces()
    {
        while (!atEnd() && isHtmlSpace(at()))
            ++pos_;
    }

    QStringView text_;
    qsizetype pos_ = 0;
};

// Elements a parser keeps in the head; any other start tag opens the body.
bool belongsToHead(const QString& name)
{
    static const QStringList kNames = { QStringLiteral("html"), QStringLiteral("head"),
        QStringLiteral("base"), QStringLiteral("basefont"), QStringLiteral("bgsound"), QStringLiteral("link"),
        QStringLiteral("meta"), QStringLiteral("title"), QStringLiteral("noscript"),
        QStringLiteral("noframes"), QStringLiteral("style"), QStringLiteral("script"),
        QStringLiteral("template") };
    return kNames.contains(name);
}

// Elements whose content is text up to their own end tag, markup or not. A browser runs
// scripts, so <noscript> is one of them.
bool holdsRawText(const QString& name)
{
    static const QStringList kNames
        = { QStringLiteral("title"), QStringLiteral("script"), QStringLiteral("style"),
              QStringLiteral("noscript"), QStringLiteral("noframes"), QStringLiteral("textarea"),
              QStringLiteral("xmp"), QStringLiteral("iframe"), QStringLiteral("noembed") };
    return kNames.contains(name);
}

/// Where the raw text from `from` ends: the "<" of "</name" followed by a space, "/" or ">";
/// -1 when the element is never closed.
qsizetype rawTextEnd(QStringView text, qsizetype from, const QString& name)
{
    const QString closing = QStringLiteral("</") + name;
    for (qsizetype at = text.indexOf(closing, from, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(closing, at + 1, Qt::CaseInsensitive)) {
        const qsizetype after = at + closing.size();
        if (after < text.size()
            && (isHtmlSpace(text.at(after)) || text.at(after) == QLatin1Char('/')
                || text.at(after) == QLatin1Char('>')))
            return at;
    }
    return -1;
}

/// The position after the comment that starts at `at` ("<!--"), or the text's end. The
/// search runs forward to the comment's own end only, so many comments cost one pass.
qsizetype commentEnd(QStringView text, qsizetype at)
{
    const QStringView rest = text.mid(at + 4);
    if (rest.startsWith(QLatin1Char('>')))
        return at + 5;
    if (rest.startsWith(QLatin1String("->")))
        return at + 6;
    for (qsizetype dashes = text.indexOf(QLatin1String("--"), at + 4); dashes >= 0;
         dashes = text.indexOf(QLatin1String("--"), dashes + 1)) {
        const QStringView after = text.mid(dashes + 2);
        if (after.startsWith(QLatin1Char('>')))
            return dashes + 3;
        if (after.startsWith(QLatin1String("!>")))
            return dashes + 4;
    }
    return text.size();
}

bool allSpace(QStringView text)
{
    for (const QChar c : text) {
        // A byte order mark left in the text is no content either.
        if (!isHtmlSpace(c) && c.unicode() != 0xFEFF)
            return false;
    }
    return true;
}

struct HeadTags {
    std::optional<QString> title; // the first title's text, as written
    std::optional<QString> description; // the first description's content, as written
};

HeadTags scanHead(QStringView head, bool endsAtImpliedBody)
{
    HeadTags found;
    HeadCursor c(head);
    while (!c.atEnd()) {
        const qsizetype open = head.indexOf(QLatin1Char('<'), c.pos());
        const qsizetype textEnd = open < 0 ? head.size() : open;
        if (endsAtImpliedBody && !allSpace(head.mid(c.pos(), textEnd - c.pos())))
            break; // text outside any tag opens the body
        if (open < 0)
            break;
        c.moveTo(open);
        if (head.mid(open).startsWith(QLatin1String("<!--"))) {
            c.moveTo(commentEnd(head, open));
            continue;
        }
        const bool endTag = c.at(1) == QLatin1Char('/');
        if (c.at(1) == QLatin1Char('!') || c.at(1) == QLatin1Char('?')
            || (endTag && !isAsciiAlpha(c.at(2)))) {
            // A doctype, a processing instruction or a broken end tag: skipped up to its ">".
            const qsizetype close = head.indexOf(QLatin1Char('>'), open + 1);
            if (close < 0)
                break;
            c.moveTo(close + 1);
            continue;
        }
        if (!endTag && !isAsciiAlpha(c.at(1))) {
            if (endsAtImpliedBody)
                break; // a lone "<" is text
            c.moveTo(open + 1);
            continue;
        }
        Tag tag;
        if (!c.readTag(tag))
            break;
        if (tag.end)
            continue;
        if (endsAtImpliedBody && !belongsToHead(tag.name))
            break;
        if (tag.name == QLatin1String("meta") && !found.description && tag.nameAttribute
            && tag.nameAttribute->trimmed().compare(QLatin1String("description"), Qt::CaseInsensitive) == 0)
            found.description = tag.content;
        if (holdsRawText(tag.name)) {
            const qsizetype close = rawTextEnd(head, c.pos(), tag.name);
            if (close < 0)
                break;
            if (tag.name == QLatin1String("title") && !found.title)
                found.title = head.mid(c.pos(), close - c.pos()).toString();
            c.moveTo(close);
        }
    }
    return found;
}

bool titleQualifies(const QString& title)
{
    return !containsNoCase(title, QStringLiteral("language=\"javascript\"")) && characterCount(title) > 5
        && !title.contains(QLatin1Char('<'));
}

} // namespace

bool refusedAtFirstPiece(const QString& firstPiece)
{
    return firstPiece.isEmpty() || containsNoCase(firstPiece, QStringLiteral("internal server error"))
        || firstPiece.contains(QStringLiteral("500"));
}

PageReading readPage(const QString& body, const std::function<bool(const QString&)>& keepsTitle)
{
    PageReading page;
    if (body.isEmpty())
        return page;
    page.verdict = PageVerdict::ServerError;
    if (refusedAtFirstPiece(body.left(kFirstPiece)))
        return page;

    const qsizetype bodyTag = indexOfNoCase(body, QStringLiteral("<body"));
    const QStringView head = bodyTag < 0 ? QStringView(body) : QStringView(body).left(bodyTag);
    const HeadTags tags = scanHead(head, bodyTag < 0);

    page.verdict = PageVerdict::NoTitle;
    if (!tags.title)
        return page;
    page.title = cleanCutText(*tags.title);
    page.verdict = PageVerdict::TitleRefused;
    if (!titleQualifies(page.title))
        return page;
    page.verdict = PageVerdict::Filtered;
    if (keepsTitle && !keepsTitle(page.title))
        return page;

    page.verdict = PageVerdict::NoDescription;
    if (!tags.description)
        return page;
    const QString& raw = *tags.description;
    page.description = cleanCutText(raw, ReferenceContext::AttributeValue);
    // The length and ">" tests look at the text as written; the cleaned text must hold no
    // markup and must not be empty, which would split the record at its empty line.
    page.verdict = PageVerdict::DescriptionRefused;
    if (raw.contains(QLatin1Char('>')) || characterCount(raw) <= 5
        || page.description.contains(QLatin1Char('<')) || page.description.isEmpty())
        return page;
    page.verdict = PageVerdict::Accepted;
    return page;
}

QString cleanCutText(const QString& text, ReferenceContext context)
{
    // The replacements the spider always made come first, in their order and blind to
    // letter case, so that "&amp;lt;" still ends as "<" and is refused.
    static const std::pair<const char*, const char*> kSteps[] = {
        { "&amp;", "&" },
        { "&quot;", "\"" },
        { "&#147;", "\"" },
        { "&#148;", "\"" },
        { "&lt;", "<" },
        { "&gt;", ">" },
        { "&nbsp;", " " },
        { "&#8217;", "'" },
        { "&#145;", "'" },
        { "&#146;", "'" },
    };
    QString cleaned = text;
    for (const auto& [from, to] : kSteps)
        cleaned = replaceNoCase(cleaned, QString::fromLatin1(from), QString::fromLatin1(to));
    return collapseBlanks(decodeCharReferences(cleaned, context));
}

} // namespace tarnwick
