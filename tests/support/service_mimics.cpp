#include "support/service_mimics.h"

namespace tarnwick::test {

ServiceMimic::ServiceMimic(const std::string& path, Answerer answer)
    : answer_(std::move(answer))
{
    server.server.Get(path, [this](const httplib::Request& req, httplib::Response& res) {
        {
            std::lock_guard lock(mutex_);
            targets_ << QString::fromStdString(req.target);
        }
        const CannedAnswer canned = answer_(req);
        res.status = canned.status;
        res.set_content(canned.body, canned.contentType);
    });
    server.start();
}

QStringList ServiceMimic::targets()
{
    std::lock_guard lock(mutex_);
    return targets_;
}

ClassicSearch::ClassicSearch(Answerer answer)
    : ServiceMimic("/search", std::move(answer))
{
    qputenv("TARNWICK_SEARCH_BASE", url(QString()).toUtf8());
}

ClassicSearch::~ClassicSearch()
{
    qunsetenv("TARNWICK_SEARCH_BASE");
}

std::string openSearchAnswer(const std::string& query, const std::vector<std::string>& completions)
{
    std::string list;
    for (const std::string& completion : completions)
        list += std::string(list.empty() ? "\"" : ",\"") + completion + '"';
    return "[\"" + query + "\",[" + list + R"(],[],{"google:suggestsubtypes":[[512]]}])";
}

std::string searxngPage(const std::vector<std::string>& urls,
    const std::vector<std::pair<std::string, std::string>>& unresponsive)
{
    std::string results;
    for (const std::string& url : urls)
        results += std::string(results.empty() ? "" : ",") + R"({"url":")" + url
            + R"(","title":"Result","content":"<b>snippet</b>","engine":"duckduckgo",)"
              R"("engines":["duckduckgo","brave"],"positions":[1],"score":1.5,"category":"general"})";
    std::string failed;
    for (const auto& [name, reason] : unresponsive)
        failed += std::string(failed.empty() ? "[\"" : ",[\"") + name + "\",\"" + reason + "\"]";
    return R"({"query":"q","number_of_results":0,"results":[)" + results
        + R"(],"answers":[],"corrections":[],"infoboxes":[],"suggestions":["related"],)"
          R"("unresponsive_engines":[)"
        + failed + "]}";
}

} // namespace tarnwick::test
