#include "cli/cli_process.h"

#include <QProcessEnvironment>

namespace tarnwick::test {

void prepareCli(
    QProcess& process, const QStringList& arguments, const QString& workDir, const CliEnvironment& extra)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("TARNWICK_HOME"));
    env.insert(QStringLiteral("TARNWICK_CACHE_DIR"), workDir + QStringLiteral("/cache"));
    for (const auto& [name, value] : extra)
        env.insert(name, value);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workDir);
    process.setProgram(QStringLiteral(TARNWICK_CLI));
    process.setArguments(arguments);
}

CliResult finishCli(QProcess& process)
{
    CliResult result;
    process.waitForFinished(60000);
    result.exitCode = process.exitCode();
    result.exitStatus = process.exitStatus();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

CliResult runCli(const QStringList& arguments, const QString& workDir, const CliEnvironment& extra)
{
    QProcess process;
    prepareCli(process, arguments, workDir, extra);
    process.start();
    return finishCli(process);
}

} // namespace tarnwick::test
