#include "support/searx_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <chrono>
#include <thread>

namespace tarnwick::test {

namespace {

const std::vector<std::vector<std::string>> kPages = {
    { "http://one.example/a.html", "http://one.example/b.html", "http://two.example/" },
    { "http://three.example/x?y=1", "http://one.example/c.html" },
    { "http://one.example/d.html", "http://two.example/e.html" },
};

} // namespace

bool searxInstalled()
{
    return QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
        && QProcess::execute(QStringLiteral("/usr/bin/python3"),
               { QStringLiteral("-c"),
                   QStringLiteral(
                       "import importlib.util, sys; sys.exit(importlib.util.find_spec('searx') is None)") })
        == 0;
}

QByteArray fixtureEngineSettings(int fixturePort)
{
    // search.formats and server.limiter are read by newer instances; this one always answers JSON.
    return QStringLiteral(
        R"(general: { debug: false, instance_name: "tarnwick-test", contact_url: false, enable_stats: false }
brand: { git_url: "", git_branch: "", issue_url: "", docs_url: "", public_instances: "", wiki_url: "", twitter_url: "" }
search: { safe_search: 0, autocomplete: "", default_lang: "", ban_time_on_fail: 0, max_ban_time_on_fail: 0,
  prefer_configured_language: false }
server: { base_url: false, image_proxy: false, http_protocol_version: "1.0", method: "GET", default_http_headers: {} }
ui: { autofocus: false, archive_today: false, static_path: "/usr/share/python3-searx/static",
  templates_path: "/usr/share/python3-searx/templates", default_theme: oscar, default_locale: "",
  theme_args: { oscar_style: logicodev } }
outgoing: { request_timeout: 5.0, useragent_suffix: "", pool_connections: 4, pool_maxsize: 4 }
enabled_plugins: []
checker: { off_when_debug: true }
engines:
  - { name: fixture, engine: xpath, shortcut: fx, categories: general, paging: true, page_size: 1,
      search_url: "http://127.0.0.1:%1/results?q={query}&page={pageno}", results_xpath: '//li[@class="result"]',
      url_xpath: ./a/@href, title_xpath: ./a, content_xpath: ./p, first_page_num: 1, enable_http: true }
locales: { en: English }
doi_resolvers: { doi.org: "https://doi.org/" }
default_doi_resolver: doi.org
)")
        .arg(fixturePort)
        .toUtf8();
}

FixtureEngine::FixtureEngine()
{
    server.server.Get("/results", [this](const httplib::Request& req, httplib::Response& res) {
        const std::string q = req.get_param_value("q");
        const size_t page = std::stoul(req.get_param_value("page"));
        {
            std::lock_guard lock(mutex_);
            asked_.push_back(q + " " + std::to_string(page));
        }
        // Bounded, so the server can always stop.
        for (int i = 0; i < 2000 && hold; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::string body = "<html><body><ul>";
        if (q == "widgets" && page >= 1 && page <= kPages.size())
            for (const std::string& url : kPages[page - 1])
                body += "<li class=\"result\"><a href=\"" + url + "\">title</a><p>text</p></li>";
        res.set_content(body + "</ul></body></html>", "text/html");
    });
    server.start();
}

std::vector<std::string> FixtureEngine::asked()
{
    std::lock_guard lock(mutex_);
    return asked_;
}

QList<qint64> processesIn(const QString& folder)
{
    const QString wanted = QFileInfo(folder).canonicalFilePath();
    QList<qint64> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number && !wanted.isEmpty()
            && QFileInfo(QStringLiteral("/proc/%1/cwd").arg(pid)).symLinkTarget() == wanted)
            found << pid;
    }
    return found;
}

QStringList listenersOn(int port)
{
    QStringList addresses;
    const QString wanted = QStringLiteral(":%1").arg(port, 4, 16, QLatin1Char('0')).toUpper();
    for (const char* table : { "/proc/net/tcp", "/proc/net/tcp6" }) {
        QFile file { QString::fromLatin1(table) };
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QStringList fields = QString::fromLatin1(line).simplified().split(QLatin1Char(' '));
            if (fields.size() > 3 && fields[1].endsWith(wanted) && fields[3] == QLatin1String("0A"))
                addresses << fields[1].section(QLatin1Char(':'), 0, 0);
        }
    }
    return addresses;
}

QByteArray yamlAsJson(const QString& file)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
        { QStringLiteral("-c"),
            QStringLiteral(
                "import json, sys, yaml; json.dump(yaml.safe_load(open(sys.argv[1])), sys.stdout)"),
            file });
    python.waitForFinished(20000);
    return python.readAllStandardOutput();
}

} // namespace tarnwick::test
