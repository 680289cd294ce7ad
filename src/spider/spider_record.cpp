#include "spider/spider_record.h"

#include "app/form1.h"
#include "app/text_ops.h"
#include "app/url_encoding.h"

namespace tarnwick {

namespace {

const QString kDescMarker = QStringLiteral("<meta name=\"description\" content=\"");
const QString kCrLf = QStringLiteral("\r\n");

/// The text after the first `start`, up to the first of the `ends`; empty without `start`.
QString cutAfter(const QString& text, const QString& start, std::initializer_list<QString> ends)
{
    const QStringList pieces = splitNoCase(text, start);
    if (pieces.size() < 2)
        return {};
    QString cut = pieces.at(1);
    for (const QString& end : ends)
        cut = splitNoCase(cut, end).at(0);
    return cut;
}

/// `url` goes in already encoded, so it cannot end the attribute or open a tag.
QString link(const QString& url, const QString& text)
{
    return QStringLiteral("<a href=\"") + url + QStringLiteral("\" target=\"_blank\" rel=\"nofollow\">")
        + text + QStringLiteral("</a>");
}

} // namespace

QString cutTitle(const QString& head)
{
    return cutAfter(
        head, QStringLiteral("<title>"), { QStringLiteral("</title>"), QStringLiteral("<title>") });
}

QString cutDescription(const QString& head)
{
    return cutAfter(head, kDescMarker, { QStringLiteral("\">"), kDescMarker });
}

QString cleanCutText(const QString& text)
{
    static const std::pair<const char*, const char*> kSteps[] = {
        { "  ", "" },
        { "\t", "" },
        { "\r\n", "" },
        { "\r", "" },
        { "\n", "" },
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
    return trimSpaces(cleaned);
}

QString spiderRecords(const Form1& f, const QString& title, const QString& desc, const QString& listedUrl)
{
    // The list may hold anything a file or a result page put there; records and the pages
    // built from them only ever see the encoded form.
    const QString url = percentEncodedUrl(listedUrl);
    const bool pages = f.Check3.Value() != 0;
    const QString end = kCrLf + kCrLf;
    const QString boldTitle = QStringLiteral("<b>") + title + QStringLiteral("</b>");
    const QString recordC = boldTitle + kCrLf + desc + kCrLf + url + end;
    QString out;
    if (f.Check4.Value() != 0) {
        if (!pages)
            out += title + kCrLf + desc + kCrLf + url + end;
        else if (f.Option1.Value())
            out += QStringLiteral("<b>") + link(url, title) + QStringLiteral("</b>") + kCrLf + desc + kCrLf
                + url + end;
        else if (f.Option2.Value())
            out += boldTitle + kCrLf + desc + kCrLf + link(url, url) + end;
        else
            out += recordC;
    }
    if (f.Check5.Value() != 0) {
        if (!pages)
            out += desc + kCrLf + url + end;
        else if (f.Option2.Value())
            out += desc + kCrLf + link(url, url) + end;
        else
            out += recordC;
    }
    return out;
}

} // namespace tarnwick
