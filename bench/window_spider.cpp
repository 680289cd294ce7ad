// A spider run started from the real window's button over loopback URLs, beside a plain
// sequential QNetworkAccessManager fetch of the same URLs in the same process. The window
// draws as it does for a user (lists, counters, status strip), so this measures what the
// window costs a run. Needs an X server:
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/bench_window_spider [urls]
#include "bench_support.h"
#include "support/loopback_server.h"
#include "ui/window_session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

double reference(const QStringList& urls)
{
    QElapsedTimer wall;
    wall.start();
    bench::plainFetchLoop(urls);
    return urls.size() / (wall.nsecsElapsed() / 1e9);
}

double windowRun(const QStringList& urls, QString& message, double& cpuPerUrl)
{
    using namespace tarnwick;
    QTemporaryDir home;
    qputenv("TARNWICK_HOME", home.path().toUtf8());
    WindowSession session;
    session.show();
    Form1& f = session.form;
    f.List1.replaceAll(urls);
    f.Label1.setCaption(QString::number(urls.size()));
    bench::setBenchPages(f);
    session.window.sync();

    QElapsedTimer wall;
    double seconds = 0;
    // The run ends in a message box; the time is taken when it shows, then it is closed.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (seconds == 0)
                seconds = wall.nsecsElapsed() / 1e9;
            message = box->text();
            box->accept();
        }
    });
    answer.start(5);
    const double cpu0 = bench::cpuSeconds();
    wall.start();
    qobject_cast<QPushButton*>(session.window.widgetFor(f.Command3))->click();
    cpuPerUrl = (bench::cpuSeconds() - cpu0) / urls.size();
    qunsetenv("TARNWICK_HOME");
    return seconds > 0 ? urls.size() / seconds : 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 3000;
    tarnwick::test::LoopbackServer server;
    server.server.Get(R"(/site/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        const std::string n = req.matches[1];
        res.set_content("<html><head><title>Site number " + n
                + " page</title><meta name=\"description\" content=\"The description of site " + n
                + "\"></head><body>Body text</body></html>",
            "text/html");
    });
    // Without it the server's small answers wait for the client's delayed ACK, and every
    // request costs tens of milliseconds of idle time that would hide what the window costs.
    server.server.set_tcp_nodelay(true);
    server.start();
    QStringList urls;
    for (int i = 0; i < count; ++i)
        urls.append(server.url(QStringLiteral("/site/%1").arg(i)));

    const double ref = reference(urls);
    QString message;
    double cpuPerUrl = 0;
    const double run = windowRun(urls, message, cpuPerUrl);
    std::printf("reference fetch:   %8.1f URLs/s\n", ref);
    std::printf(
        "window spider run: %8.1f URLs/s  %.6f CPU s/URL (%s)\n", run, cpuPerUrl, qPrintable(message));
    std::printf("throughput ratio window / reference: %.2f\n", run / ref);
    return 0;
}
