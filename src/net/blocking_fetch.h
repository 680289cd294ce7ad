#pragma once

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QUrl>

class QNetworkReply;
class QNetworkRequest;

namespace tarnwick {

/// What a blocking fetch brought back.
struct FetchResult {
    bool ok = false; // a complete body arrived (any HTTP status)
    int status = 0; // the HTTP status, 0 when none arrived
    QByteArray body;
    QString contentType; // the Content-Type header
    QUrl finalUrl; // after redirects
    QString error; // why it failed, when !ok
};

/// The most a response body may hold before the request fails instead of filling memory.
inline constexpr qint64 kMaxBodyBytes = 8 * 1024 * 1024;
/// Redirects followed before a request fails; a loop must not go on forever.
inline constexpr int kMaxRedirects = 10;
/// The bound a request gets when its timeout is zero or negative, so no request waits forever.
inline constexpr int kFallbackTimeoutSeconds = 60;

/// The address a URL list entry stands for. The list holds what the harvest or the user put
/// there; an entry without a scheme is meant as a web address.
QUrl requestUrl(const QString& text);
/// The milliseconds a request of `seconds` may take: the fallback bound for zero or less,
/// at most a day.
int requestTimeoutMs(int seconds);
/// A GET request for `url` with the redirect rules every Tarnwick request follows.
QNetworkRequest makeGetRequest(const QUrl& url);
/// True when the reply ended with an HTTP status and its body (a 404 or 500 page): the body
/// is the answer. False for failures of the connection or the protocol.
bool answeredWithStatus(const QNetworkReply& reply);
/// Why a reply that did not answer with a status failed, as a QNetworkReply::NetworkError
/// and its text.
QPair<int, QString> noAnswerError(const QNetworkReply& reply);

/// GET `url` and wait for the whole answer, at most `timeoutSeconds`, following redirects
/// up to a sane limit. Runs a local event loop that excludes user input meanwhile.
FetchResult fetchBlocking(const QUrl& url, int timeoutSeconds, qint64 maxBytes = kMaxBodyBytes);

/// Body bytes as text: the charset of the Content-Type header, else the page's own meta
/// tag, else UTF-8. Legacy code pages (Windows-1252 and friends) go through Qt's codecs;
/// an unknown charset name falls back to the default.
QString decodeBody(const QByteArray& body, const QString& contentType);

} // namespace tarnwick
