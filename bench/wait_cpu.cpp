// How much CPU the spider's wait costs: one request to a loopback server that stalls before
// answering, waited for with `while (StillExecuting()) p.waitForEvents(100)`. Prints the
// process CPU time of the waiting loop beside the wall time it covered; a loop that sleeps
// in the dispatcher stays at a small fraction of it.
//
//   build/bench/bench_wait_cpu [stall-ms]
#include "net/qt_transfer_control.h"
#include "support/fake_platform.h"
#include "support/loopback_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace {

double processCpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int stallMs = argc > 1 ? std::atoi(argv[1]) : 2000;

    tarnwick::test::LoopbackServer server;
    server.server.Get("/stall", [stallMs](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(stallMs));
        res.set_content("<html><title>late</title></html>", "text/html");
    });
    server.start();

    tarnwick::test::FakePlatform p;
    tarnwick::QtTransferControl inet;
    int lastState = -1;
    inet.StateChanged = [&](int state) {
        lastState = state;
        if (state == tarnwick::TransferControl::icResponseCompleted) {
            for (QString piece = inet.GetChunk(1024); !piece.isEmpty(); piece = inet.GetChunk(10024)) { }
        }
    };
    inet.setRequestTimeout(stallMs / 1000 + 10);

    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = processCpuSeconds();
    inet.Execute(server.url("/stall"), QStringLiteral("GET"), {},
        QStringLiteral("\r\n\r\nReferer: http://bench/\r\nUser-Agent: bench"));
    while (inet.StillExecuting()) {
        if (!p.waitForEvents(100))
            break;
    }
    const double cpu = processCpuSeconds() - cpuBefore;
    const double seconds = wall.elapsed() / 1000.0;

    std::printf("wait_cpu: last state %d after %.2f s wall, %d pumps\n", lastState, seconds, p.pumps);
    std::printf("CPU time of the waiting loop: %.4f s (%.2f%% of the wall time)\n", cpu,
        seconds > 0 ? 100.0 * cpu / seconds : 0.0);
    return lastState == tarnwick::TransferControl::icResponseCompleted ? 0 : 1;
}
