// Spider throughput in three settings, each beside its reference, in one process:
//   1. loopback: a spider run one request at a time against a plain sequential
//      QNetworkAccessManager fetch of the same URLs (and a run with 8 in flight, for scale);
//      and each of the two against the same run without its run journal;
//   2. 100 ms server latency, one request at a time, against the ceiling of 10 URLs/s;
//   3. 100 ms server latency, 8 requests in flight, against the ceiling of 80 URLs/s, and
//      against 8 times the rate of setting 2.
// The latency runs spread their URLs over many loopback hosts (127.0.0.2, 127.0.0.3, ...),
// so the limit of two requests to one host does not bind. Prints rates and ratios.
//
//   build/bench/bench_spider_throughput [loopback-urls] [latency-urls]
//
// Defaults 1000 and 200; a latency count of 0 skips the latency settings.
#include "app/form1.h"
#include "app/startup.h"
#include "app/state_folder.h"
#include "bench_support.h"
#include "net/qt_transfer_control.h"
#include "spider/journal_state.h"
#include "spider/response_handler.h"
#include "spider/spider_run.h"
#include "support/fake_platform.h"
#include "support/loopback_server.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using tarnwick::test::LoopbackServer;

constexpr int kLatencyMs = 100;
constexpr int kLatencyHosts = 200;
constexpr int kRounds = 3;
// The journal's cost is a few per cent, below the noise of one run: more rounds, each run with
// the journal right beside one without it.
constexpr int kJournalRounds = 6;
// The test server compresses text types for a client that accepts it, as the spider does;
// compressing every answer would cost more than everything measured here.
const char* const kUncompressedType = "application/octet-stream";

struct Figures {
    double urlsPerSecond;
    double cpuMsPerUrl;
};

Figures measure(qsizetype urls, const std::function<void()>& run)
{
    QElapsedTimer wall;
    const double cpu0 = bench::cpuSeconds();
    wall.start();
    run();
    const double secs = wall.nsecsElapsed() / 1e9;
    return { urls / secs, (bench::cpuSeconds() - cpu0) * 1000 / urls };
}

Figures best(const Figures& a, const Figures& b)
{
    return a.urlsPerSecond >= b.urlsPerSecond ? a : b;
}

Figures plainFetch(const QStringList& urls)
{
    return measure(urls.size(), [&urls] { bench::plainFetchLoop(urls); });
}

Figures spider(
    const QStringList& urls, int parallel, tarnwick::RunJournaling journaling = tarnwick::RunJournaling::On)
{
    using namespace tarnwick;
    bench::SpiderBench run(urls, parallel);
    Form1& f = run.f;
    f.journaling = journaling;
    const Figures figures = measure(urls.size(), [&] { Command3_Click(f, run.p); });
    if (f.runReport.count(Outcome::Accepted) + f.runReport.count(Outcome::Refused) != urls.size())
        std::printf("warning: %s\n", qPrintable(f.runReport.summaryText()));
    return figures;
}

void row(const char* setting, const Figures& run, const char* against, double reference)
{
    std::printf("%-34s %8.1f URLs/s %7.3f CPU ms/URL | %-16s %8.1f URLs/s | ratio %.2f\n", setting,
        run.urlsPerSecond, run.cpuMsPerUrl, against, reference, run.urlsPerSecond / reference);
}

void serveSites(LoopbackServer& server, int latencyMs)
{
    server.server.Get(R"(/site/(\d+))", [latencyMs](const httplib::Request& req, httplib::Response& res) {
        if (latencyMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(latencyMs));
        const std::string n = req.matches[1];
        res.set_content("<html><head><title>Site number " + n
                + " page</title><meta name=\"description\" content=\"The description of site " + n
                + "\"></head><body>Body text</body></html>",
            kUncompressedType);
    });
    // Without it every answer waits out the client's delayed ACK (headers and body go in two
    // writes), and the benchmark would measure that instead of the spider.
    server.server.set_tcp_nodelay(true);
    // Idle keep-alive connections hold a server thread each; enough that no request queues.
    server.server.new_task_queue = [] { return new httplib::ThreadPool(96); };
}

// The journal alone, without the network's noise: CPU microseconds to journal one accepted URL
// (the record kept, its entry written, a sync a second on the wall clock).
double journalMicrosPerUrl(int urls)
{
    using namespace tarnwick;
    test::FakePlatform p;
    Form1 f(nullptr);
    Form_Load(f);
    bench::setBenchPages(f);
    for (int i = 0; i < urls; ++i)
        f.List1.AddItem(QStringLiteral("http://127.0.0.1:8080/site/%1").arg(i));
    QString error;
    auto recorder = std::make_unique<RunRecorder>(
        f, p, RunJournal::create(stateFolder(), journalHeader(f, p), p, error));
    const double cpu0 = bench::cpuSeconds();
    for (int i = 0; i < urls; ++i) {
        p.clock = QDateTime::currentDateTimeUtc();
        const QString url = f.List1.List(i);
        f.RichTextBox1.appendText(
            QStringLiteral("<b>Site number %1 page</b>\r\nThe description of site %1\r\n"
                           "<a href=\"%2\" target=\"_blank\" rel=\"nofollow\">%2</a>\r\n\r\n")
                .arg(i)
                .arg(url));
        f.List5.AddItem(url);
        f.Label10.setCaption(QString::number(i + 1));
        recorder->record({ i + 1, url, Outcome::Accepted, {} });
    }
    return (bench::cpuSeconds() - cpu0) * 1e6 / urls;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The journals go to the disk the benchmark runs on, as a user's would go to their home;
    // a temporary folder may be in memory, where syncing costs nothing.
    QTemporaryDir state(QDir::current().filePath(QStringLiteral("bench-state-XXXXXX")));
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    const int loopbackCount = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int latencyCount = argc > 2 ? std::atoi(argv[2]) : 200;

    LoopbackServer fast;
    serveSites(fast, 0);
    fast.start();
    QStringList local;
    for (int i = 0; i < loopbackCount; ++i)
        local.append(fast.url(QStringLiteral("/site/%1").arg(i)));
    // Loopback runs take a second or so and other work on the machine shows in them; each is
    // run a few times in turn and its best kept.
    Figures plain { 0, 0 };
    Figures one { 0, 0 };
    Figures eight { 0, 0 };
    Figures oneBare { 0, 0 };
    Figures eightBare { 0, 0 };
    for (int round = 0; round < kJournalRounds; ++round) {
        if (round < kRounds)
            plain = best(plain, plainFetch(local));
        one = best(one, spider(local, 1));
        oneBare = best(oneBare, spider(local, 1, tarnwick::RunJournaling::Off));
        eight = best(eight, spider(local, 8));
        eightBare = best(eightBare, spider(local, 8, tarnwick::RunJournaling::Off));
    }
    row("loopback, spider one at a time", one, "plain fetch loop", plain.urlsPerSecond);
    row("loopback, spider 8 in flight", eight, "plain fetch loop", plain.urlsPerSecond);
    row("loopback, journal, 1 in flight", one, "without journal", oneBare.urlsPerSecond);
    row("loopback, journal, 8 in flight", eight, "without journal", eightBare.urlsPerSecond);
    std::printf("%-34s %8.3f CPU ms/URL with, %.3f without (1 in flight)\n", "loopback, journal's CPU",
        one.cpuMsPerUrl, oneBare.cpuMsPerUrl);
    const double journalMicros = journalMicrosPerUrl(20000);
    std::printf("%-34s %8.1f CPU us/URL, %.1f%% of a URL's CPU one at a time\n", "journal alone",
        journalMicros, journalMicros / 10 / one.cpuMsPerUrl);
    std::printf("target: with journal at least 0.95 x without\n");
    std::printf("%-34s %8.1f URLs/s %7.3f CPU ms/URL\n", "loopback, plain fetch loop", plain.urlsPerSecond,
        plain.cpuMsPerUrl);

    if (latencyCount <= 0)
        return 0;
    LoopbackServer slow;
    serveSites(slow, kLatencyMs);
    slow.start(LoopbackServer::Listen::Every127);
    QStringList remote;
    for (int i = 0; i < latencyCount; ++i)
        remote.append(slow.urlOn(2 + i % kLatencyHosts, QStringLiteral("/site/%1").arg(i)));
    const double ceiling = 1000.0 / kLatencyMs;
    const Figures slowOne = spider(remote, 1);
    row("100 ms latency, 1 in flight", slowOne, "ceiling", ceiling);
    const Figures slowEight = spider(remote, 8);
    row("100 ms latency, 8 in flight", slowEight, "ceiling", 8 * ceiling);
    row("100 ms latency, 8 vs 1 in flight", slowEight, "8 x 1 in flight", 8 * slowOne.urlsPerSecond);
    std::printf("target: 8 in flight at least 0.85 x 8 x 1 in flight\n");
    return 0;
}
