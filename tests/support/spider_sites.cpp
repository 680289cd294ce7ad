#include "support/spider_sites.h"

#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tarnwick::test {

std::string spiderPage(const std::string& title, const std::string& desc, const std::string& extra)
{
    return "<html><head><title>" + title + "</title>\r\n<meta name=\"description\" content=\"" + desc + "\">"
        + extra + "</head><body>text</body></html>";
}

std::vector<SpiderSite> spiderSites()
{
    return {
        { "/ok1", spiderPage("Cheap Flights to Rome", "Fly to Rome for less") },
        { "/width500", spiderPage("Wide table page", "Has a table", "<table width=500>") },
        { "/ampersand", spiderPage("&amp;lt;b&amp;gt;Shop", "A shop page here") },
        { "/five", spiderPage("Fiv e", "Five letter title") },
        { "/six", spiderPage("Six ab", "Six letter title") },
        { "/double", spiderPage("Big  Sale now", "a &gt; b and more") },
        { "/slashclose",
            "<html><head><title>Closed by slash</title><meta name=\"description\" content=\"Slash "
            "closed desc\" /><link href=\"x\"></head><body>b</body></html>" },
        { "/descafter",
            "<html><head><title>Description late</title></head><body><meta name=\"description\" "
            "content=\"After the body\"></body></html>" },
        { "/empty", "" },
        { "/error", spiderPage("Internal Server Error", "Something broke"), 500 },
        { "/stall", "stall" },
        { "/cp1252",
            "<html><head><title>Caf\xe9 Cr\xe8me Flights</title><meta name=\"description\" "
            "content=\"Cr\xe8me br\xfbl\xe9"
            "e \x93quoted\x94\"></head><body></body></html>",
            200, "text/html; charset=windows-1252" },
        { "/ok2", spiderPage("Cheap Hotels in Rome", "Sleep well in Rome") },
        { "/desclt", spiderPage("Angle description", "a &lt;script&gt; here") },
        { "/ok3", spiderPage("Last Minute Flights Deals Today", "Go now, pay less") },
    };
}

void serveSpiderSites(LoopbackServer& server)
{
    for (const SpiderSite& s : spiderSites()) {
        const SpiderSite site = s;
        server.server.Get(site.path, [site](const httplib::Request&, httplib::Response& res) {
            if (site.body == "stall") {
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                res.set_content("late", "text/html");
                return;
            }
            res.status = site.status;
            res.set_content(site.body, site.type);
        });
    }
}

QStringList spiderSiteUrls(const LoopbackServer& server)
{
    QStringList urls;
    for (const SpiderSite& s : spiderSites())
        urls.append(server.url(QString::fromLatin1(s.path)));
    return urls;
}

void expectSpiderFile(const QString& name, QByteArray actual, const LoopbackServer& server)
{
    actual.replace(server.url(QString()).toUtf8(), "http://HOST");
    // Written pages start with a UTF-8 byte-order mark; the fixtures hold the text after it.
    if (name.endsWith(QStringLiteral(".html"))) {
        EXPECT_TRUE(actual.startsWith("\xEF\xBB\xBF")) << name.toStdString() << ": no byte-order mark";
        actual.remove(0, 3);
    }
    const QString path = fixturePath(QStringLiteral("spider/expected/") + name);
    if (qEnvironmentVariableIsSet("TARNWICK_WRITE_EXPECTED"))
        writeFileBytes(path, actual);
    EXPECT_EQ(actual, readFileBytes(path)) << name.toStdString();
}

} // namespace tarnwick::test
