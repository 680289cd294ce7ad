#include "net/blocking_fetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTimer>

#include <optional>

namespace tarnwick {

namespace {

// Browsers read the meta tag only near the top of the page; so do we.
constexpr qsizetype kMetaScanBytes = 4096;

enum class CharsetSource { Header, MetaTag };

QString charsetIn(const QString& text, const QRegularExpression& pattern)
{
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString headerCharset(const QString& contentType)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(charset\s*=\s*["']?\s*([^\s"';,]+))"), QRegularExpression::CaseInsensitiveOption);
    return charsetIn(contentType, pattern);
}

QString metaCharset(const QByteArray& body)
{
    // Both <meta charset="x"> and <meta http-equiv=... content="text/html; charset=x">.
    static const QRegularExpression pattern(
        QStringLiteral(R"(<meta\b[^>]*?charset\s*=\s*["']?\s*([A-Za-z0-9._:\-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    return charsetIn(QString::fromLatin1(body.left(kMetaScanBytes)), pattern);
}

// A decoder for a declared charset name, or none when the name means nothing we can use.
std::optional<QStringDecoder> decoderFor(const QString& declared, CharsetSource source)
{
    static const QRegularExpression plainName(QStringLiteral("^[a-z0-9._:\\-]{1,40}$"));
    QString name = declared.trimmed().toLower();
    if (!plainName.match(name).hasMatch())
        return std::nullopt;
    // Pages labelled Latin-1 or ASCII are in practice Windows-1252, and browsers read them so.
    static const QStringList latin1Names = {
        QStringLiteral("iso-8859-1"),
        QStringLiteral("iso8859-1"),
        QStringLiteral("iso_8859-1"),
        QStringLiteral("latin1"),
        QStringLiteral("latin-1"),
        QStringLiteral("l1"),
        QStringLiteral("us-ascii"),
        QStringLiteral("ascii"),
        QStringLiteral("cp819"),
        QStringLiteral("ibm819"),
        QStringLiteral("iso-ir-100"),
    };
    if (latin1Names.contains(name))
        name = QStringLiteral("windows-1252");
    // A meta tag that claims UTF-16 was already read as ASCII to be found, so it cannot be true.
    if (name == QLatin1String("utf8") || (source == CharsetSource::MetaTag && name.startsWith("utf-16")))
        name = QStringLiteral("utf-8");
    QStringDecoder decoder(name.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    return decoder;
}

QString decodeWith(QStringDecoder& decoder, const QByteArray& body)
{
    return decoder.decode(body);
}

// No usable label: UTF-8 when the bytes are valid UTF-8, else the commonest legacy page.
QString decodeUnlabelled(const QByteArray& body)
{
    // Stateless, so a sequence cut off at the end counts as invalid instead of pending.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    QStringDecoder legacy("windows-1252", QStringConverter::Flag::Stateless);
    if (legacy.isValid())
        return decodeWith(legacy, body);
    return QString::fromLatin1(body);
}

} // namespace

QUrl requestUrl(const QString& text)
{
    const QString trimmed = text.trimmed();
    QUrl url(trimmed, QUrl::TolerantMode);
    if (url.isValid() && url.scheme().isEmpty() && !trimmed.isEmpty())
        url = QUrl(QStringLiteral("http://") + trimmed, QUrl::TolerantMode);
    return url;
}

int requestTimeoutMs(int seconds)
{
    if (seconds <= 0)
        seconds = kFallbackTimeoutSeconds;
    // QTimer counts in int milliseconds; a day is bound enough for any request.
    return qMin(seconds, 24 * 60 * 60) * 1000;
}

QNetworkRequest makeGetRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    // Qt follows redirects, never to a less safe scheme; only their number is ours to bound.
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    return request;
}

bool answeredWithStatus(const QNetworkReply& reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid() || status.toInt() < 100)
        return false;
    const QNetworkReply::NetworkError error = reply.error();
    if (error == QNetworkReply::NoError)
        return true;
    // Qt turns 4xx and 5xx statuses into the content and server error ranges; everything
    // below them is the connection or a proxy, and protocol failures mean a broken body.
    switch (error) {
    case QNetworkReply::ProtocolUnknownError:
    case QNetworkReply::ProtocolFailure: return false;
    default: return error > QNetworkReply::UnknownProxyError && status.toInt() >= 400;
    }
}

QPair<int, QString> noAnswerError(const QNetworkReply& reply)
{
    // Qt takes a status of fewer than three digits without an error; it is no answer all the same.
    if (reply.error() == QNetworkReply::NoError)
        return { QNetworkReply::ProtocolFailure, QStringLiteral("Invalid HTTP status") };
    return { reply.error(), reply.errorString() };
}

FetchResult fetchBlocking(const QUrl& url, int timeoutSeconds, qint64 maxBytes)
{
    FetchResult result;
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        result.error = QStringLiteral("Invalid URL");
        return result;
    }

    // Declared before the manager, so they outlive it and the reply it deletes on its way out.
    QEventLoop loop;
    bool timedOut = false;
    bool tooLarge = false;
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(makeGetRequest(url));

    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        // A declared length over the cap fails before any byte is read.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxBytes && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    });
    auto take = [&] {
        // An abort, for the time or the size, closes the reply.
        if (!reply->isOpen())
            return;
        if (result.body.size() + reply->bytesAvailable() > maxBytes) {
            tooLarge = true;
            reply->abort();
            return;
        }
        result.body += reply->readAll();
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, take);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);

    // The timer goes with the reply.
    QTimer::singleShot(requestTimeoutMs(timeoutSeconds), reply, [&] {
        timedOut = true;
        reply->abort();
    });
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    take(); // whatever came with the end of the answer
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    result.finalUrl = reply->url();
    if (timedOut)
        result.error = QStringLiteral("Timeout");
    else if (tooLarge)
        result.error = QStringLiteral("Response over %1 bytes").arg(maxBytes);
    else if (!answeredWithStatus(*reply))
        result.error = noAnswerError(*reply).second;
    else
        result.ok = true;
    if (!result.ok)
        result.body.clear();
    return result;
}

QString decodeBody(const QByteArray& body, const QString& contentType)
{
    // A byte order mark outranks every label, as in browsers.
    if (const std::optional<QStringConverter::Encoding> bom = QStringConverter::encodingForData(body)) {
        QStringDecoder decoder(*bom, QStringConverter::Flag::Stateless);
        return decodeWith(decoder, body);
    }
    const QString fromHeader = headerCharset(contentType);
    if (!fromHeader.isEmpty()) {
        if (std::optional<QStringDecoder> decoder = decoderFor(fromHeader, CharsetSource::Header))
            return decodeWith(*decoder, body);
    }
    const QString fromMeta = metaCharset(body);
    if (!fromMeta.isEmpty()) {
        if (std::optional<QStringDecoder> decoder = decoderFor(fromMeta, CharsetSource::MetaTag))
            return decodeWith(*decoder, body);
    }
    return decodeUnlabelled(body);
}

} // namespace tarnwick
