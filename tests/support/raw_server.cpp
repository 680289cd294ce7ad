#include "support/raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarnwick::test {

RawServer::RawServer(std::function<void(const std::string&, const Send&)> respond)
    : respond_(std::move(respond))
{
    listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    ::listen(listenFd_, 16);
    thread_ = std::thread([this] { serve(); });
}

RawServer::~RawServer()
{
    stopping_ = true;
    ::shutdown(listenFd_, SHUT_RDWR);
    thread_.join();
    ::close(listenFd_);
}

QString RawServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

void RawServer::serve()
{
    // One connection at a time is enough for these tests; poll so the destructor can stop us.
    while (!stopping_) {
        pollfd pfd { listenFd_, POLLIN, 0 };
        if (::poll(&pfd, 1, 50) <= 0)
            continue;
        const int fd = ::accept(listenFd_, nullptr, nullptr);
        if (fd < 0)
            continue;
        std::string head;
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            head.append(buffer, static_cast<size_t>(n));
        }
        const Send send = [this, fd](const std::string& bytes) {
            if (stopping_)
                return false;
            return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
        };
        respond_(head, send);
        ::close(fd);
    }
}

} // namespace tarnwick::test
