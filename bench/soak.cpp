// A full-size spider run: 30000 URLs on a loopback server (mostly good pages, some failing,
// some stalling briefly), pages created. Prints the resident and peak memory after 1000 URLs
// and at the end (with checkpoints every 5000 URLs between), the total time and the rate.
//
//   cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
//   cmake --build build --target bench_soak
//   QT_QPA_PLATFORM=offscreen build/bench/bench_soak 30000 [hosts] [parallel]
//
// With hosts above 1 the URLs are spread over that many loopback addresses (127.0.0.2 on),
// each a host of its own as the spider sees it; run it under `ulimit -n 256` to see that
// idle connections do not pile up.
#include "app/form1.h"
#include "app/startup.h"
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"
#include "spider/spider_run.h"
#include "support/fake_platform.h"
#include "support/loopback_server.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

struct Memory {
    long rssKb = 0;
    long peakKb = 0;
};

Memory readMemory()
{
    Memory m;
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return m;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            m.rssKb = line.mid(6).trimmed().split(' ').first().toLong();
        else if (line.startsWith("VmHWM:"))
            m.peakKb = line.mid(6).trimmed().split(' ').first().toLong();
    }
    return m;
}

std::string page(const std::string& n)
{
    return "<html><head><title>Soak test page number " + n
        + "</title><meta name=\"description\" content=\"Description of soak page " + n
        + " with enough words\"></head><body><p>" + std::string(2000, 'x') + "</p></body></html>";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int urls = argc > 1 ? std::atoi(argv[1]) : 30000;
    const int hosts = argc > 2 ? std::max(std::atoi(argv[2]), 1) : 1;
    const int parallel = argc > 3 ? std::atoi(argv[3]) : 1;

    tarnwick::test::LoopbackServer server;
    server.server.Get(R"(/good/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(page(req.matches[1]), "text/html");
    });
    server.server.Get(R"(/fail/(\d+))", [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content("<html><body>Internal Server Error</body></html>", "text/html");
    });
    server.server.Get(R"(/stall/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        res.set_content(page(req.matches[1]), "text/html");
    });
    // Without it every answer waits out the client's delayed ACK (headers and body go in two
    // writes), and the run would measure that instead of Tarnwick.
    server.server.set_tcp_nodelay(true);
    // Idle keep-alive connections hold a server thread each; enough that no request queues.
    server.server.new_task_queue = [] { return new httplib::ThreadPool(64); };
    server.start(hosts > 1 ? tarnwick::test::LoopbackServer::Listen::Every127
                           : tarnwick::test::LoopbackServer::Listen::Localhost);

    QTemporaryDir home;
    tarnwick::test::FakePlatform p;
    p.folder = home.path();
    tarnwick::Form1 f(std::make_unique<tarnwick::QtTransferControl>());
    tarnwick::Form_Load(f);
    tarnwick::attachResponseHandler(f, p);

    QStringList list;
    list.reserve(urls);
    for (int i = 0; i < urls; ++i) {
        const char* kind = i % 97 == 0 ? "/fail/" : i % 1000 == 500 ? "/stall/" : "/good/";
        const QString path = QString::fromLatin1(kind) + QString::number(i);
        list.append(hosts > 1 ? server.urlOn(2 + i % hosts, path) : server.url(path));
    }
    f.List1.replaceAll(list);
    f.Combo2.setText(QStringLiteral("5"));
    f.Combo8.setText(QString::number(parallel));
    f.Text5.setText(QStringLiteral(" "));
    f.Check3.setValue(1);
    f.Combo3.setText(QStringLiteral("10"));
    f.Text8.setText(QStringLiteral("soak"));
    f.Text9.setText(QStringLiteral("page"));
    f.Text10.setText(QStringLiteral("sitemap"));
    f.Text11.setText(QStringLiteral("Soak"));

    // Taken when the run reaches the URL after each checkpoint, so the checkpoint's own URL is done.
    struct Checkpoint {
        int urls;
        Memory memory;
        double seconds = 0;
        bool taken = false;
    };
    std::vector<Checkpoint> checkpoints { { 1000, {} } };
    for (int n = 5000; n < urls; n += 5000)
        checkpoints.push_back({ n, {} });
    QElapsedTimer clock;
    p.onPump = [&](int) {
        const int current = f.Label15.Caption().toInt();
        for (Checkpoint& c : checkpoints) {
            if (!c.taken && current == c.urls + 1) {
                c.memory = readMemory();
                c.seconds = clock.elapsed() / 1000.0;
                c.taken = true;
            }
        }
    };
    const Memory before = readMemory();
    clock.start();
    tarnwick::Command3_Click(f, p);
    const double seconds = clock.elapsed() / 1000.0;
    const Memory end = readMemory();

    std::printf("soak: %d URLs, %s accepted, message: %s\n", urls, qPrintable(f.Label10.Caption()),
        p.messages.isEmpty() ? "(none)" : qPrintable(p.messages.last()));
    const QStringList pages = QDir(home.filePath(QStringLiteral("soak"))).entryList(QDir::Files);
    std::printf("pages created: %lld files in the output folder\n", static_cast<long long>(pages.size()));
    std::printf("memory before run: rss %ld kB, peak %ld kB\n", before.rssKb, before.peakKb);
    for (const Checkpoint& c : checkpoints)
        if (c.taken)
            std::printf("memory at %d URLs: rss %ld kB, peak %ld kB (%.1f s)\n", c.urls, c.memory.rssKb,
                c.memory.peakKb, c.seconds);
    std::printf("memory at %d URLs: rss %ld kB, peak %ld kB\n", urls, end.rssKb, end.peakKb);
    std::printf("total %.1f s, %.0f URLs per second\n", seconds, urls / seconds);
    std::printf("%s\n", qPrintable(f.runReport.summaryText()));
    return 0;
}
