#pragma once

#include "app/form1.h"

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

/// Page settings for a spider run that writes pages of ten results, as both spider
/// benchmarks measure it.
inline void setBenchPages(tarnwick::Form1& f)
{
    f.Text5.setText(QStringLiteral(" "));
    f.Check3.setValue(1);
    f.Combo3.setText(QStringLiteral("10"));
    f.Text8.setText(QStringLiteral("bench"));
    f.Text9.setText(QStringLiteral("page"));
    f.Text10.setText(QStringLiteral("sitemap"));
    f.Text11.setText(QStringLiteral("Bench"));
}

} // namespace bench
