#include "support/service_mimics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

std::string openSearchAnswer(const std::string& query, const std::vector<std::string>& completions)
{
    QJsonArray list;
    for (const std::string& completion : completions)
        list.append(QString::fromStdString(completion));
    const QJsonObject subtypes { { QStringLiteral("google:suggestsubtypes"),
        QJsonArray { QJsonArray { 512 } } } };
    const QJsonArray answer { QString::fromStdString(query), list, QJsonArray {}, subtypes };
    return QJsonDocument(answer).toJson(QJsonDocument::Compact).toStdString();
}

std::string searxngPage(const std::vector<std::string>& urls,
    const std::vector<std::pair<std::string, std::string>>& unresponsive)
{
    QJsonArray results;
    int position = 0;
    for (const std::string& url : urls) {
        results.append(QJsonObject {
            { QStringLiteral("url"), QString::fromStdString(url) },
            { QStringLiteral("title"), QStringLiteral("Result %1").arg(++position) },
            { QStringLiteral("content"), QStringLiteral("<b>snippet</b>") },
            { QStringLiteral("engine"), QStringLiteral("duckduckgo") },
            { QStringLiteral("engines"),
                QJsonArray { QStringLiteral("duckduckgo"), QStringLiteral("brave") } },
            { QStringLiteral("positions"), QJsonArray { position } },
            { QStringLiteral("score"), 1.5 },
            { QStringLiteral("category"), QStringLiteral("general") },
        });
    }
    QJsonArray failed;
    for (const auto& [name, reason] : unresponsive)
        failed.append(QJsonArray { QString::fromStdString(name), QString::fromStdString(reason) });
    const QJsonObject page {
        { QStringLiteral("query"), QStringLiteral("q") },
        { QStringLiteral("number_of_results"), 0 },
        { QStringLiteral("results"), results },
        { QStringLiteral("answers"), QJsonArray {} },
        { QStringLiteral("corrections"), QJsonArray {} },
        { QStringLiteral("infoboxes"), QJsonArray {} },
        { QStringLiteral("suggestions"), QJsonArray { QStringLiteral("related") } },
        { QStringLiteral("unresponsive_engines"), failed },
    };
    return QJsonDocument(page).toJson(QJsonDocument::Compact).toStdString();
}

QString silentAddress(const QString& pathAndQuery)
{
    LoopbackServer gone;
    gone.start();
    gone.stop();
    return gone.url(pathAndQuery);
}

} // namespace tarnwick::test
