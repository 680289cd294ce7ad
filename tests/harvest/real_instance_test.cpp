// The harvest against a real metasearch instance: Debian's searx package, started on a free
// loopback port with one xpath engine that asks a loopback fixture and nothing else. The
// harvest's waits run on the fake platform's clock; the requests are real.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>

#include <chrono>
#include <mutex>

#include "app/form1.h"
#include "harvest/url_harvest.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/loopback_server.h"
#include "support/qt_printers.h"

namespace tarnwick {
namespace {

const QString kSearxModule = QStringLiteral("/usr/lib/python3/dist-packages/searx/webapp.py");

// Results of "widgets" by page: page 3 only has new addresses on known sites, page 4
// none. Every address differs, so the instance merges none of them.
const std::vector<std::vector<std::string>> kPages = {
    { "http://one.example/a.html", "http://one.example/b.html", "http://two.example/" },
    { "http://three.example/x?y=1", "http://one.example/c.html" },
    { "http://one.example/d.html", "http://two.example/e.html" },
};

// A complete settings file: the package's own defaults are not installed, so nothing may be
// left to them. Only the fixture engine exists, and the instance listens on 127.0.0.1 only.
// search.formats and server.limiter are read by newer instances; this one always answers JSON.
QByteArray settings(int port, int fixturePort, const QByteArray& secret)
{
    return QStringLiteral(
        R"(general: { debug: false, instance_name: "tarnwick-test", contact_url: false, enable_stats: false }
brand: { git_url: "", git_branch: "", issue_url: "", docs_url: "", public_instances: "", wiki_url: "", twitter_url: "" }
search: { safe_search: 0, autocomplete: "", default_lang: "", ban_time_on_fail: 0, max_ban_time_on_fail: 0,
  prefer_configured_language: false, formats: [html, json] }
server: { port: %1, bind_address: "127.0.0.1", secret_key: "%3", limiter: false, base_url: false, image_proxy: false,
  http_protocol_version: "1.0", method: "GET", default_http_headers: {} }
ui: { autofocus: false, archive_today: false, static_path: "/usr/share/python3-searx/static",
  templates_path: "/usr/share/python3-searx/templates", default_theme: oscar, default_locale: "",
  theme_args: { oscar_style: logicodev } }
outgoing: { request_timeout: 5.0, useragent_suffix: "", pool_connections: 4, pool_maxsize: 4 }
enabled_plugins: []
checker: { off_when_debug: true }
engines:
  - { name: fixture, engine: xpath, shortcut: fx, categories: general, paging: true, page_size: 1,
      search_url: "http://127.0.0.1:%2/results?q={query}&page={pageno}", results_xpath: '//li[@class="result"]',
      url_xpath: ./a/@href, title_xpath: ./a, content_xpath: ./p, first_page_num: 1, enable_http: true }
locales: { en: English }
doi_resolvers: { doi.org: "https://doi.org/" }
default_doi_resolver: doi.org
)")
        .arg(port)
        .arg(fixturePort)
        .arg(QString::fromLatin1(secret))
        .toUtf8();
}

int freePort()
{
    test::LoopbackServer probe;
    probe.start();
    probe.stop();
    return QUrl(probe.url()).port();
}

class RealInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(kSearxModule) || !QFileInfo::exists(QStringLiteral("/usr/bin/python3")))
            GTEST_SKIP() << "searx is not installed (apt-get install searx): no real instance to harvest";
        fixture.server.Get("/results", [this](const httplib::Request& req, httplib::Response& res) {
            const std::string q = req.get_param_value("q");
            const size_t page = std::stoul(req.get_param_value("page"));
            {
                std::lock_guard lock(mutex);
                asked.push_back(q + " " + std::to_string(page));
            }
            std::string body = "<html><body><ul>";
            if (q == "widgets" && page >= 1 && page <= kPages.size())
                for (const std::string& url : kPages[page - 1])
                    body += "<li class=\"result\"><a href=\"" + url + "\">title</a><p>text</p></li>";
            res.set_content(body + "</ul></body></html>", "text/html");
        });
        fixture.start();
        ASSERT_TRUE(folder.isValid());
        const int port = freePort();
        QFile file(folder.filePath(QStringLiteral("settings.yml")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(settings(port, QUrl(fixture.url()).port(), QUuid::createUuid().toByteArray(QUuid::Id128)));
        file.close();

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // A proxy from the environment would carry the engine's requests off this machine, and
        // SEARX_BIND_ADDRESS would move the listener off loopback.
        for (const char* name : { "SEARX_BIND_ADDRESS", "SEARX_SECRET", "http_proxy", "https_proxy",
                 "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY" })
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("no_proxy"), QStringLiteral("*"));
        env.insert(QStringLiteral("SEARX_SETTINGS_PATH"), file.fileName());
        env.insert(QStringLiteral("SEARX_DEBUG"), QStringLiteral("0"));
        searx.setProcessEnvironment(env);
        searx.setWorkingDirectory(folder.path());
        searx.setProcessChannelMode(QProcess::MergedChannels);
        searx.start(
            QStringLiteral("/usr/bin/python3"), { QStringLiteral("-m"), QStringLiteral("searx.webapp") });

        address = QStringLiteral("http://127.0.0.1:%1").arg(port);
        httplib::Client client("127.0.0.1", port);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!client.Get("/")) {
            if (searx.waitForFinished(50) || searx.state() == QProcess::NotRunning
                || std::chrono::steady_clock::now() > deadline) {
                const QStringList output = QString::fromUtf8(searx.readAll()).trimmed().split('\n');
                GTEST_SKIP() << "searx did not start: " << output.last().toStdString();
            }
        }
    }

    void TearDown() override
    {
        if (searx.state() == QProcess::NotRunning)
            return;
        searx.terminate();
        if (!searx.waitForFinished(5000))
            searx.kill();
        searx.waitForFinished(5000);
    }

    QStringList harvest(const QStringList& keywords)
    {
        {
            std::lock_guard lock(mutex);
            asked.clear();
        }
        f.List2.replaceAll(keywords);
        p.rndValues = std::deque<double>(100, 0.0);
        Command1_Click(f, p);
        return f.List1.items();
    }

    QTemporaryDir folder;
    QProcess searx;
    QString address;
    std::mutex mutex;
    std::vector<std::string> asked;
    Form1 f { std::make_unique<test::FakeTransferControl>() };
    test::FakePlatform p;
    // Last, so its thread stops before the members its handler uses go.
    test::LoopbackServer fixture;
};

TEST_F(RealInstance, HarvestsSiteRootsThenFullAddressesUntilAPageAddsNothing)
{
    f.resultSource = address;
    EXPECT_EQ(harvest({ "2 - widgets" }),
        (QStringList { "http://one.example/", "http://two.example/", "http://three.example/" }));
    EXPECT_EQ(p.messages, QStringList { "Finished run!" });
    EXPECT_EQ(asked, (std::vector<std::string> { "widgets 1", "widgets 2", "widgets 3" }))
        << "page 3 holds no new site";

    f.List1.Clear();
    f.Check1.setValue(1);
    p.messages.clear();
    EXPECT_EQ(harvest({ "2 - widgets" }),
        (QStringList { "http://one.example/a.html", "http://one.example/b.html", "http://two.example/",
            "http://three.example/x?y=1", "http://one.example/c.html", "http://one.example/d.html",
            "http://two.example/e.html" }));
    EXPECT_EQ(p.messages, QStringList { "Finished run!" });
    EXPECT_EQ(asked.size(), 4u) << "the empty fourth page ends the keyword";
}

} // namespace
} // namespace tarnwick
