#include "net/service_answer.h"

#include <QJsonParseError>
#include <QRegularExpression>
#include <QUrl>

namespace tarnwick {

namespace {

// The JSON services here answer UTF-8 unless their Content-Type names another charset;
// a charset label inside the body (a <meta> tag in a completion, say) must not count.
QString decodeJson(const FetchResult& result)
{
    static const QRegularExpression charset(
        QStringLiteral("charset\\s*="), QRegularExpression::CaseInsensitiveOption);
    if (charset.match(result.contentType).hasMatch())
        return decodeBody(result.body, result.contentType);
    return QString::fromUtf8(result.body);
}

bool looksLikeHtml(const QString& text, const QString& contentType)
{
    return contentType.contains(QLatin1String("html"), Qt::CaseInsensitive)
        || text.trimmed().startsWith(QLatin1Char('<'));
}

// A page that stands between the client and the results. Tarnwick names it and stops: it
// does not solve, accept or script its way past one.
QString blockingPage(const QString& site, const QString& text, const FetchResult& result)
{
    const auto has
        = [&text](const char* marker) { return text.contains(QLatin1String(marker), Qt::CaseInsensitive); };
    const QString finalHost = result.finalUrl.host();
    const QString chooseOther
        = QStringLiteral(" Tarnwick does not get around such pages: choose another source.");
    if (has("captcha") || has("unusual traffic")
        || result.finalUrl.path().startsWith(QLatin1String("/sorry")))
        return site + QStringLiteral(" answered with a CAPTCHA page instead of results.") + chooseOther;
    if (finalHost.startsWith(QLatin1String("consent.")) || has("before you continue") || has("consent.google")
        || has("cookie consent"))
        return site + QStringLiteral(" answered with a consent page instead of results.") + chooseOther;
    if (has("enable javascript") || has("enablejs") || has("javascript is disabled")
        || has("javascript is required") || has("turn on javascript"))
        return site + QStringLiteral(" answered with a page that demands JavaScript instead of results.")
            + chooseOther;
    return {};
}

} // namespace

QString siteOf(const QString& address)
{
    const QUrl url(address);
    if (url.host().isEmpty())
        return address;
    return url.toString(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo
        | QUrl::StripTrailingSlash);
}

QString unescapeHtml(const QString& text)
{
    static const QRegularExpression reference(
        QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|quot|amp|lt|gt|apos);"));
    QString out;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : reference.globalMatch(text)) {
        out += text.mid(from, match.capturedStart() - from);
        const QString name = match.captured(1);
        if (name.startsWith(QLatin1Char('#'))) {
            // The pattern gives a '#' and digits after it, which always read as a number.
            const bool hex = name[1] == QLatin1Char('x') || name[1] == QLatin1Char('X');
            const uint code = hex ? name.mid(2).toUInt(nullptr, 16) : name.mid(1).toUInt();
            // A reference to nothing printable stays as written rather than becoming a control.
            if (code >= 0x20 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
                out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
            else
                out += match.captured(0);
        } else if (name == QLatin1String("quot")) {
            out += QLatin1Char('"');
        } else if (name == QLatin1String("amp")) {
            out += QLatin1Char('&');
        } else if (name == QLatin1String("lt")) {
            out += QLatin1Char('<');
        } else if (name == QLatin1String("gt")) {
            out += QLatin1Char('>');
        } else {
            out += QLatin1Char('\'');
        }
        from = match.capturedEnd();
    }
    return out + text.mid(from);
}

JsonAnswer readJsonAnswer(const FetchResult& result, const QString& address, const QString& silentHint)
{
    JsonAnswer answer;
    const QString site = siteOf(address);
    if (!result.ok) {
        answer.refusal = QStringLiteral("No answer from %1 (%2).").arg(address, result.error);
        if (!silentHint.isEmpty())
            answer.refusal += QLatin1Char(' ') + silentHint;
        return answer;
    }
    const QString text = decodeJson(result);
    QJsonParseError error;
    answer.document = QJsonDocument::fromJson(text.toUtf8(), &error);
    // Older SearXNG versions send the autocompleter's JSON HTML-escaped.
    if (error.error != QJsonParseError::NoError && text.contains(QLatin1String("&quot;")))
        answer.document = QJsonDocument::fromJson(unescapeHtml(text).toUtf8(), &error);
    const bool parsed = error.error == QJsonParseError::NoError;
    const bool success = result.status / 100 == 2;
    if (parsed && success)
        return answer;
    answer.document = {};
    const bool html = !parsed && looksLikeHtml(text, result.contentType);
    if (html)
        answer.refusal = blockingPage(site, text, result);
    if (!answer.refusal.isEmpty())
        return answer;
    if (result.status == 429)
        answer.refusal = site
            + QStringLiteral(" refused: too many requests (HTTP 429). It limits how often it may be asked; "
                             "wait before trying again.");
    else if (!success)
        answer.refusal
            = QStringLiteral("%1 answered HTTP %2 instead of results.").arg(site).arg(result.status);
    else if (html)
        answer.refusal = site
            + QStringLiteral(" answered with an HTML page where JSON was expected: is the address right?");
    else
        answer.refusal = site + QStringLiteral(" answered with something other than the JSON expected.");
    return answer;
}

} // namespace tarnwick
