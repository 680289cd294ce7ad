#include "cli/cli_process.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tarnwick {
namespace {

TEST(CliFiles, WhatIsNoFileEndsAtOnceWithStatusOne)
{
    QTemporaryDir work;
    const QString pipe = work.filePath(QStringLiteral("pipe.urls"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const struct {
        QString command;
        QString path;
    } cases[] = {
        { QStringLiteral("shuffle"), QStringLiteral("/dev/zero") },
        { QStringLiteral("harvest"), pipe },
        { QStringLiteral("export"), work.path() },
    };
    for (const auto& c : cases) {
        const test::CliResult result = test::runCli({ c.command, c.path }, work.path());
        EXPECT_EQ(result.exitCode, 1) << c.path.toStdString();
        EXPECT_TRUE(result.err.startsWith("File " + c.path.toUtf8() + " could not be opened: "))
            << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << c.path.toStdString();
    }
}

} // namespace
} // namespace tarnwick
