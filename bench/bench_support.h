#pragma once

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStringList>

#include <ctime>

namespace bench {

/// CPU seconds this process has used so far.
inline double cpuSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

/// The reference the spider benchmarks measure against: the plainest sequential fetch loop
/// QtNetwork allows, one GET after the other, bodies read and dropped.
inline void plainFetchLoop(const QStringList& urls)
{
    QNetworkAccessManager manager;
    for (const QString& url : urls) {
        QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(url)));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        (void)reply->readAll();
        reply->deleteLater();
    }
}

} // namespace bench
