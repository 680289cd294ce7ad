#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace tarnwick::test {

/// A TCP server on 127.0.0.1 that answers every connection by hand, for responses no
/// well-behaved HTTP server sends: a body cut short, broken chunking, a byte a second.
/// `respond` gets the request's head and writes through `send`; returning closes the socket.
class RawServer {
public:
    using Send = std::function<bool(const std::string& bytes)>;
    explicit RawServer(std::function<void(const std::string& requestHead, const Send& send)> respond);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    QString url(const QString& path = QStringLiteral("/")) const;

private:
    void serve();

    std::function<void(const std::string&, const Send&)> respond_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_ { false };
    std::thread thread_;
};

} // namespace tarnwick::test
