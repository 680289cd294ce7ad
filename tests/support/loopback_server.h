#pragma once

#include <httplib.h>

#include <QString>

#include <chrono>
#include <thread>

namespace tarnwick::test {

/// An HTTP server on 127.0.0.1 at a free port, on its own thread while it lives; add handlers before start().
class LoopbackServer {
public:
    /// Where the server listens. Every127 answers on 127.0.0.2, 127.0.0.3 and so on too, so a test
    /// can reach many hosts; it binds every address, yet tests only ever connect to loopback ones.
    enum class Listen { Localhost, Every127 };

    LoopbackServer() = default;
    ~LoopbackServer() { stop(); }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    void start(Listen listen = Listen::Localhost)
    {
        server.set_socket_options([this](socket_t sock) {
            httplib::default_socket_options(sock);
            if (listening_ == INVALID_SOCKET)
                listening_ = sock;
        });
        port_ = server.bind_to_any_port(listen == Listen::Every127 ? "0.0.0.0" : "127.0.0.1");
        // The library's backlog of 5 overflows in a burst of connections (several in flight to several
        // hosts), which then wait out a one-second retry, as long as the shortest timeout.
        if (listening_ != INVALID_SOCKET)
            ::listen(listening_, 128);
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

    /// "http://127.0.0.1:PORT" followed by `path`.
    QString url(const QString& path = QStringLiteral("/")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
    }
    /// The same on the `n`-th address of 127.0.0.0/8 (258 is 127.0.1.2), for a server on Every127.
    QString urlOn(int n, const QString& path) const
    {
        return QStringLiteral("http://127.%1.%2.%3:%4%5")
            .arg((n >> 16) & 255)
            .arg((n >> 8) & 255)
            .arg(n & 255)
            .arg(port_)
            .arg(path);
    }

    /// Routes every network test needs: /page (a UTF-8 page), /missing (404) and /broken (500)
    /// with bodies, /hop (a redirect to /page), /loop (a redirect to itself), /stall (answers
    /// after two seconds) and /chunked/N (N bytes, chunked, without a length).
    void serveCommonRoutes();

    httplib::Server server;

private:
    int port_ = 0;
    socket_t listening_ = INVALID_SOCKET;
    std::thread thread_;
};

/// An address on 127.0.0.1 where nothing listens: a port bound once to learn a free number.
QString refusedUrl();

} // namespace tarnwick::test
