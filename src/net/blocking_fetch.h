#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace tarnwick {

/// What a blocking fetch brought back.
struct FetchResult {
    bool ok = false;        // a complete body arrived (any HTTP status)
    int status = 0;         // the HTTP status, 0 when none arrived
    QByteArray body;
    QString contentType;    // the Content-Type header
    QUrl finalUrl;          // after redirects
    QString error;          // why it failed, when !ok
};

/// The most a response body may hold before the request fails instead of filling memory.
inline constexpr qint64 kMaxBodyBytes = 8 * 1024 * 1024;

/// GET `url` and wait for the whole answer, at most `timeoutSeconds`, following redirects
/// up to a sane limit. Runs a local event loop that excludes user input meanwhile.
FetchResult fetchBlocking(const QUrl& url, int timeoutSeconds, qint64 maxBytes = kMaxBodyBytes);

/// Body bytes as text: the charset of the Content-Type header, else the page's own meta
/// tag, else UTF-8. Legacy code pages (Windows-1252 and friends) go through Qt's codecs;
/// an unknown charset name falls back to the default.
QString decodeBody(const QByteArray& body, const QString& contentType);

}  // namespace tarnwick
