#pragma once

#include <QJsonDocument>
#include <QString>

#include "net/blocking_fetch.h"

namespace tarnwick {

/// A web service's JSON answer, read at the edge: the parsed document, or the one message
/// that says why there is none (no answer, a refusal, a CAPTCHA, consent or JavaScript
/// page, HTML or anything else where JSON was expected).
struct JsonAnswer {
    QJsonDocument document;
    QString refusal;
    bool ok() const { return refusal.isEmpty(); }
};

/// Reads what `address` answered. The text is decoded by the Content-Type charset, UTF-8
/// without one; JSON that arrives HTML-escaped (&quot;) is unescaped first. `silentHint`
/// follows the message when nothing answered at all.
JsonAnswer readJsonAnswer(const FetchResult& result, const QString& address, const QString& silentHint = {});

/// The site part of an address ("http://127.0.0.1:8888"), for messages.
QString siteOf(const QString& address);

/// &quot; &amp; &lt; &gt; &#39; and numeric references replaced by their characters.
QString unescapeHtml(const QString& text);

} // namespace tarnwick
