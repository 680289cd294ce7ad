#include "net/blocking_fetch.h"

// Placeholder until the QtNetwork fetch is written.
namespace tarnwick {

FetchResult fetchBlocking(const QUrl&, int, qint64)
{
    return {};
}

QString decodeBody(const QByteArray& body, const QString&)
{
    return QString::fromUtf8(body);
}

}  // namespace tarnwick
