#include "support/searx_fixture.h"

#include "support/fixtures.h"

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
    return QString::fromUtf8(readFixture("harvest/fixture_engine.yml")).arg(fixturePort).toUtf8();
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
            QStringLiteral("import json,sys,yaml; json.dump(yaml.safe_load(open(sys.argv[1])), sys.stdout)"),
            file });
    python.waitForFinished(20000);
    return python.readAllStandardOutput();
}

} // namespace tarnwick::test
