#include "spider/spider_record.h"

#include "app/form1.h"
#include "app/url_encoding.h"

namespace tarnwick {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

/// `url` goes in already encoded, so it cannot end the attribute or open a tag.
QString link(const QString& url, const QString& text)
{
    return QStringLiteral("<a href=\"") + url + QStringLiteral("\" target=\"_blank\" rel=\"nofollow\">")
        + text + QStringLiteral("</a>");
}

} // namespace

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
