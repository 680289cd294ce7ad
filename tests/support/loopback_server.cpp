#include "support/loopback_server.h"

#include <QTcpServer>

namespace tarnwick::test {

void LoopbackServer::serveCommonRoutes()
{
    const auto page = [](const char* body, const char* type, int status = 200) {
        return [=](const httplib::Request&, httplib::Response& res) {
            res.status = status;
            res.set_content(body, type);
        };
    };
    server.Get("/page", page("<html>hello</html>", "text/html; charset=utf-8"));
    server.Get("/missing", page("<html>Not here</html>", "text/html", 404));
    server.Get("/broken", page("<html>Internal Server Error</html>", "text/html", 500));
    server.Get("/hop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/page"); });
    server.Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
    server.Get("/stall", [](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2000));
        res.set_content("late", "text/plain");
    });
    server.Get(R"(/chunked/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        const size_t total = std::stoul(req.matches[1]);
        res.set_chunked_content_provider("text/html", [total](size_t offset, httplib::DataSink& sink) {
            static const std::string block(64 * 1024, 'z');
            if (offset >= total) {
                sink.done();
                return true;
            }
            return sink.write(block.data(), std::min(block.size(), total - offset));
        });
    });
}

QString refusedUrl()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

} // namespace tarnwick::test
