#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <utility>

namespace tarnwick::test {

/// What one run of tarnwick-cli left behind.
struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

/// Variables set for one run, over the test's own environment.
using CliVariables = QList<std::pair<QString, QString>>;

/// The built tarnwick-cli, ready to start in `workDir` without TARNWICK_HOME, its lookup file kept there.
inline void prepareCli(QProcess& process, const QStringList& arguments, const QString& workDir,
    const CliVariables& variables = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("TARNWICK_HOME"));
    env.insert(QStringLiteral("TARNWICK_CACHE_DIR"), workDir + QStringLiteral("/cache"));
    for (const auto& [name, value] : variables)
        env.insert(name, value);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workDir);
    process.setProgram(QStringLiteral(TARNWICK_CLI));
    process.setArguments(arguments);
}

/// Waits (at most 60 s) for a started process and collects what it wrote.
inline CliResult finishCli(QProcess& process)
{
    process.waitForFinished(60000);
    return { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
}

inline CliResult runCli(
    const QStringList& arguments, const QString& workDir, const CliVariables& variables = {})
{
    QProcess process;
    prepareCli(process, arguments, workDir, variables);
    process.start();
    return finishCli(process);
}

/// Arguments written as one text, split at single spaces ("spider a.urls --filter").
inline QStringList words(const char* text)
{
    return *text ? QString::fromUtf8(text).split(u' ') : QStringList();
}

} // namespace tarnwick::test
