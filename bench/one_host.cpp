// A list of one site's pages: 400 URLs on one loopback host that answers after 100 ms, spidered
// with 16 requests in flight and "Requests to one host:" at 16, beside curl fetching the same
// URLs with `curl -Z --parallel-max 16` in the same run. Each is run a few times in turn and
// its best kept; the ratio is the spider's rate over curl's (target: at least 0.9). A last run
// at the default of 2 to one host shows what the box changes.
//
//   build/bench/bench_one_host [urls] [rounds]
//
// Defaults 400 and 3. Needs curl (Debian package curl).
#include "app/form1.h"
#include "bench_support.h"
#include "spider/spider_run.h"
#include "support/loopback_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using tarnwick::test::LoopbackServer;

constexpr int kLatencyMs = 100;
constexpr int kInFlight = 16;

double seconds(const std::function<void()>& run)
{
    QElapsedTimer wall;
    wall.start();
    run();
    return wall.nsecsElapsed() / 1e9;
}

// URLs per second of curl over `urls`, all bodies thrown away; 0 when curl fails.
double curlRate(const QString& curl, const QStringList& urls, const QString& folder)
{
    QByteArray config;
    for (const QString& url : urls)
        config += "url = \"" + url.toUtf8() + "\"\noutput = \"/dev/null\"\n";
    const QString path = folder + QStringLiteral("/curl.config");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size())
        return 0;
    file.close();
    QProcess process;
    const double took = seconds([&] {
        process.start(curl,
            { QStringLiteral("-Z"), QStringLiteral("--parallel-max"), QString::number(kInFlight),
                QStringLiteral("-s"), QStringLiteral("-K"), path });
        process.waitForFinished(-1);
    });
    if (process.exitCode() != 0)
        std::printf("warning: curl ended with %d: %s\n", process.exitCode(),
            process.readAllStandardError().constData());
    return urls.size() / took;
}

double spiderRate(const QStringList& urls, int perHost)
{
    using namespace tarnwick;
    bench::SpiderBench run(urls, kInFlight);
    Form1& f = run.f;
    f.Combo10.setText(QString::number(perHost));
    f.journaling = RunJournaling::Off;
    const double took = seconds([&] { Command3_Click(f, run.p); });
    if (f.runReport.count(Outcome::Accepted) != urls.size())
        std::printf("warning: %s\n", qPrintable(f.runReport.summaryText()));
    return urls.size() / took;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 400;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (curl.isEmpty()) {
        std::printf("curl is not installed (Debian package curl)\n");
        return 1;
    }
    LoopbackServer server;
    server.server.Get(R"(/site/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kLatencyMs));
        const std::string n = req.matches[1];
        res.set_content("<html><head><title>Site number " + n
                + " page</title><meta name=\"description\" content=\"The description of page " + n
                + "\"></head><body>Body text</body></html>",
            "application/octet-stream");
    });
    // Without it every answer waits out the client's delayed ACK (headers and body go in two
    // writes); with too few threads the server, not either client, would set the pace.
    server.server.set_tcp_nodelay(true);
    server.server.new_task_queue = [] { return new httplib::ThreadPool(4 * kInFlight); };
    server.start();
    QStringList urls;
    for (int i = 0; i < count; ++i)
        urls.append(server.url(QStringLiteral("/site/%1").arg(i)));

    QTemporaryDir scratch;
    double spider = 0;
    double reference = 0;
    for (int round = 0; round < rounds; ++round) {
        reference = std::max(reference, curlRate(curl, urls, scratch.path()));
        spider = std::max(spider, spiderRate(urls, kInFlight));
    }
    const double ceiling = 1000.0 * kInFlight / kLatencyMs;
    std::printf("%d URLs on one host, %d ms each, %d in flight (ceiling %.0f URLs/s), best of %d\n", count,
        kLatencyMs, kInFlight, ceiling, rounds);
    std::printf("%-36s %8.1f URLs/s\n", "curl -Z --parallel-max 16", reference);
    std::printf("%-36s %8.1f URLs/s | ratio %.2f (target at least 0.9)\n", "spider, 16 to one host", spider,
        spider / reference);
    const double two = spiderRate(urls, tarnwick::kDefaultRequestsPerHost);
    std::printf(
        "%-36s %8.1f URLs/s | ratio %.2f\n", "spider, 2 to one host (the default)", two, two / reference);
    return 0;
}
