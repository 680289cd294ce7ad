#include "net/searxng_hint.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QUrl>

namespace tarnwick {

namespace {

// The address `-p` publishes on: the loopback address asked, or nothing for any other host.
QString loopbackHost(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("127.0.0.1");
    const QHostAddress address(host);
    if (!address.isLoopback())
        return {};
    return address.protocol() == QAbstractSocket::IPv6Protocol
        ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
        : address.toString();
}

} // namespace

QString searxngSettingsFile()
{
    // The installed copy beside the program, else the source folder it was built from; both
    // front ends ask with their application running.
    const QStringList candidates { QCoreApplication::applicationDirPath()
            + QStringLiteral("/../share/tarnwick/searxng"),
        QStringLiteral(TARNWICK_SOURCE_DIR "/dist/searxng") };
    for (const QString& folder : candidates) {
        const QString file = QDir::cleanPath(folder + QStringLiteral("/settings.yml"));
        if (QFileInfo(file).isFile())
            return file;
    }
    return {};
}

QString searxngStartHint(const QString& address, const QString& settingsFile)
{
    const QUrl url(address);
    const QString host = url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0
        ? loopbackHost(url.host())
        : QString();
    if (host.isEmpty())
        return QStringLiteral("Is that SearXNG instance running, and does this machine reach it? To run "
                              "one on this machine instead, see the README.");
    // Only the file is mounted, and read-only: the container must not write into the
    // package's folder or the source tree.
    const QString settings = settingsFile.isEmpty() ? QStringLiteral("/path/to/settings.yml") : settingsFile;
    QString hint = QStringLiteral("To run one here: docker run -d -p %1:%2:8080 -v \"%3:/etc/searxng/"
                                  "settings.yml:ro\" searxng/searxng")
                       .arg(host)
                       .arg(url.port(80))
                       .arg(settings);
    if (settingsFile.isEmpty())
        hint += QStringLiteral(", with a settings.yml that turns on JSON output");
    return hint + QStringLiteral(" (see the README).");
}

} // namespace tarnwick
