#pragma once

#include "support/loopback_server.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace tarnwick::test {

/// Whether Debian's searx (or a SearXNG) is installed for /usr/bin/python3.
bool searxInstalled();

/// A user's searx.yml whose only engine, an xpath one, asks the loopback fixture at `fixturePort`. Complete,
/// as Debian's searx fills in no defaults; the launcher sets the server's address, port and secret.
QByteArray fixtureEngineSettings(int fixturePort);

/// The loopback site the xpath engine asks: results of "widgets" by page, "http://one.example/a.html"
/// and so on, page 3 only new addresses on known sites and page 4 none.
class FixtureEngine {
public:
    FixtureEngine();

    /// "widgets 1", "widgets 2", ...: what the instance asked, in order.
    std::vector<std::string> asked();
    /// While true, a request is held unanswered (a harvest in progress).
    std::atomic<bool> hold { false };

private:
    std::mutex mutex_;
    std::vector<std::string> asked_;

public:
    // Last, so its thread stops before the members its handler uses go.
    LoopbackServer server;
};

/// The processes whose working folder is `folder`: the instances started there.
QList<qint64> processesIn(const QString& folder);

/// The local addresses that listen on TCP `port`, in /proc/net's hex ("0100007F" is 127.0.0.1).
QStringList listenersOn(int port);

/// A YAML file as JSON, read by the interpreter searx runs in.
QByteArray yamlAsJson(const QString& file);

} // namespace tarnwick::test
