#pragma once

#include <httplib.h>

#include <QString>

#include <chrono>
#include <thread>

namespace tarnwick::test {

/// An HTTP server on 127.0.0.1 and a free port, running on its own thread for the life of
/// the object. Register handlers on `server` before calling start().
class LoopbackServer {
public:
    LoopbackServer() = default;
    ~LoopbackServer() { stop(); }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    void start()
    {
        port_ = server.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server.listen_after_bind(); });
        // This cpp-httplib has no wait_until_ready; poll until the listener runs.
        while (!server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void stop()
    {
        if (thread_.joinable()) {
            server.stop();
            thread_.join();
        }
    }

    int port() const { return port_; }
    /// "http://127.0.0.1:PORT" followed by `path`.
    QString url(const QString& path = QStringLiteral("/")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
    }

    /// Routes every network test needs: /page (a UTF-8 page), /missing (404) and /broken (500)
    /// with bodies, /hop (a redirect to /page), /loop (a redirect to itself), /stall (answers
    /// after two seconds) and /chunked/N (N bytes, chunked, without a length).
    void serveCommonRoutes();

    httplib::Server server;

private:
    int port_ = 0;
    std::thread thread_;
};

/// An address on 127.0.0.1 where nothing listens: a port bound once to learn a free number.
QString refusedUrl();

} // namespace tarnwick::test
