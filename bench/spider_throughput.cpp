// A spider run with page creation over 2000 URLs on a loopback server, beside a plain
// sequential QNetworkAccessManager fetch of the same URLs in the same process. Prints URLs/s
// and CPU seconds per URL of each, and the ratio run / reference.
//
//   build/bench/bench_spider_throughput [urls]
#include "app/form1.h"
#include "app/startup.h"
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"
#include "spider/spider_run.h"
#include "support/fake_platform.h"
#include "support/loopback_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

double cpuSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

struct Figures {
    double urlsPerSecond;
    double cpuPerUrl;
};

Figures reference(const QStringList& urls)
{
    QNetworkAccessManager manager;
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    for (const QString& url : urls) {
        QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(url)));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        (void)reply->readAll();
        reply->deleteLater();
    }
    const double secs = wall.nsecsElapsed() / 1e9;
    return { urls.size() / secs, (cpuSeconds() - cpu0) / urls.size() };
}

Figures spider(const QStringList& urls)
{
    using namespace tarnwick;
    QTemporaryDir home;
    test::FakePlatform p;
    p.folder = home.path();
    Form1 f(std::make_unique<QtTransferControl>());
    Form_Load(f);
    attachResponseHandler(f, p);
    f.List1.replaceAll(urls);
    f.Text6.setText(QStringLiteral("http://ref.example/"));
    f.Text4.setText(QStringLiteral("Bench/1"));
    f.Text5.setText(QStringLiteral(" "));
    f.Check3.setValue(1);
    f.Combo3.setText(QStringLiteral("10"));
    f.Text8.setText(QStringLiteral("bench"));
    f.Text9.setText(QStringLiteral("page"));
    f.Text10.setText(QStringLiteral("sitemap"));
    f.Text11.setText(QStringLiteral("Bench"));
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    Command3_Click(f, p);
    const double secs = wall.nsecsElapsed() / 1e9;
    // Sites 500 and 1500 carry "500" in their first piece and are refused, as any such page is.
    if (f.List1.ListCount() != urls.size())
        std::printf(
            "warning: %d of %lld URLs accepted\n", f.List1.ListCount(), static_cast<long long>(urls.size()));
    return { urls.size() / secs, (cpuSeconds() - cpu0) / urls.size() };
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    tarnwick::test::LoopbackServer server;
    server.server.Get(R"(/site/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        const std::string n = req.matches[1];
        res.set_content("<html><head><title>Site number " + n
                + " page</title><meta name=\"description\" "
                  "content=\"The description of site "
                + n + "\"></head><body>Body text</body></html>",
            "text/html");
    });
    server.start();
    QStringList urls;
    for (int i = 0; i < count; ++i)
        urls.append(server.url(QStringLiteral("/site/%1").arg(i)));

    const Figures ref = reference(urls);
    const Figures run = spider(urls);
    std::printf("reference fetch: %8.1f URLs/s  %.6f CPU s/URL\n", ref.urlsPerSecond, ref.cpuPerUrl);
    std::printf("spider run:      %8.1f URLs/s  %.6f CPU s/URL\n", run.urlsPerSecond, run.cpuPerUrl);
    std::printf("throughput ratio spider / reference: %.2f (target >= 0.80)\n",
        run.urlsPerSecond / ref.urlsPerSecond);
    return 0;
}
