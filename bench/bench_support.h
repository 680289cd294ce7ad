#pragma once

#include "app/form1.h"
#include "app/startup.h"
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"
#include "support/fake_platform.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStringList>
#include <QTemporaryDir>

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

/// A window state that spiders `urls` with the real transfer control over a fake platform,
/// `parallel` requests in flight, with the pages of setBenchPages in a folder of its own.
struct SpiderBench {
    SpiderBench(const QStringList& urls, int parallel)
    {
        p.folder = home.path();
        tarnwick::Form_Load(f);
        tarnwick::attachResponseHandler(f, p);
        f.List1.replaceAll(urls);
        f.Text6.setText(QStringLiteral("http://ref.example/"));
        f.Text4.setText(QStringLiteral("Bench/1"));
        setBenchPages(f);
        f.Combo8.setText(QString::number(parallel));
    }
    QTemporaryDir home;
    tarnwick::test::FakePlatform p;
    tarnwick::Form1 f { std::make_unique<tarnwick::QtTransferControl>() };
};

} // namespace bench
