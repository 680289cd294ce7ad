#pragma once

#include "support/loopback_server.h"

#include <QStringList>

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::test {

/// One answer of a web service, as it goes on the wire.
struct CannedAnswer {
    int status = 200;
    std::string body;
    std::string contentType = "application/json";
};

/// A loopback suggestion or search service: each GET of `path` is answered by `answer`, its target kept.
class ServiceMimic {
public:
    using Answerer = std::function<CannedAnswer(const httplib::Request&)>;
    ServiceMimic(const std::string& path, Answerer answer);

    /// The request targets ("/search?q=a&pageno=1"), in the order they came.
    QStringList targets();
    /// "http://127.0.0.1:PORT" followed by `pathAndQuery`.
    QString url(const QString& pathAndQuery) const { return server.url(pathAndQuery); }

private:
    Answerer answer_;
    std::mutex mutex_;
    QStringList targets_;

public:
    // Last, so its thread stops before the members its handler uses go.
    LoopbackServer server;
};

/// A stand-in for the classic results site, which the harvest asks instead while this lives.
struct ClassicSearch : ServiceMimic {
    explicit ClassicSearch(Answerer answer);
    ~ClassicSearch();
};

/// An OpenSearch suggestions answer as the browsers' endpoint sends it: the query, the
/// completions, then the further elements readers must ignore; the texts go in as JSON string contents.
std::string openSearchAnswer(const std::string& query, const std::vector<std::string>& completions);

/// A page of SearXNG's JSON API with results at `urls` and the engines that failed as [name, reason] pairs.
std::string searxngPage(const std::vector<std::string>& urls,
    const std::vector<std::pair<std::string, std::string>>& unresponsive = {});

/// An address of 127.0.0.1 on which nothing listens (a port just given up).
inline QString silentAddress(const QString& pathAndQuery)
{
    return refusedUrl().chopped(1) + pathAndQuery;
}

} // namespace tarnwick::test
