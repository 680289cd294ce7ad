#pragma once

#include "support/loopback_server.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace tarnwick::test {

/// A page with a title and a meta description, the way the spider fixtures write them.
std::string spiderPage(const std::string& title, const std::string& desc, const std::string& extra = {});

struct SpiderSite {
    const char* path;
    std::string body;
    int status = 200;
    const char* type = "text/html";
};

/// Every kind of page the spider meets, in list order; "stall" answers after 1.5 s, past a 1 s timeout.
std::vector<SpiderSite> spiderSites();
/// Registers spiderSites() on a server that has not started yet.
void serveSpiderSites(LoopbackServer& server);
/// The addresses of spiderSites() on `server`, in order.
QStringList spiderSiteUrls(const LoopbackServer& server);

/// Compares `actual`, with the server's address replaced by "http://HOST", with
/// tests/fixtures/spider/expected/<name>; TARNWICK_WRITE_EXPECTED=1 rewrites that file.
void expectSpiderFile(const QString& name, QByteArray actual, const LoopbackServer& server);

} // namespace tarnwick::test
