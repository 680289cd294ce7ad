#include "cli/cli_process.h"
#include "support/fixtures.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace tarnwick {
namespace {

using test::CliResult;

QString copyFixture(const QTemporaryDir& work, const QString& name)
{
    const QString path = work.filePath(name);
    test::writeFileBytes(path, test::readFixture(QStringLiteral("cli/") + name));
    return path;
}

TEST(CliTools, ShuffleKeepsEveryEntryAndSavesWithTheMenuCommand)
{
    QTemporaryDir work;
    const QString input = copyFixture(work, QStringLiteral("ten.urls"));
    const QString output = work.filePath(QStringLiteral("mixed.urls"));
    const CliResult result = test::runCli(
        { QStringLiteral("shuffle"), input, QStringLiteral("-o"), QStringLiteral("mixed.urls") },
        work.path());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, QStringLiteral("Entries scrambled!\nFile %1 saved!\n").arg(output).toUtf8());

    const QByteArray before = test::readFileBytes(input);
    const QByteArray after = test::readFileBytes(output);
    ASSERT_EQ(after.size(), before.size());
    QList<QByteArray> oldLines = before.split('\n');
    QList<QByteArray> newLines = after.split('\n');
    std::sort(oldLines.begin(), oldLines.end());
    std::sort(newLines.begin(), newLines.end());
    EXPECT_EQ(newLines, oldLines);

    // Without -o the list goes to standard output, one entry a line.
    const CliResult printed = test::runCli({ QStringLiteral("shuffle"), input }, work.path());
    EXPECT_EQ(printed.exitCode, 0);
    EXPECT_EQ(printed.out.count('\n'), 10);
    EXPECT_FALSE(printed.out.contains('\r'));
}

TEST(CliTools, ShuffleOfAnEmptyListIsRefused)
{
    QTemporaryDir work;
    test::writeFileBytes(work.filePath(QStringLiteral("empty.urls")), "\r\n  \r\n");
    const CliResult result = test::runCli({ QStringLiteral("shuffle"), QStringLiteral("empty.urls"),
                                              QStringLiteral("-o"), QStringLiteral("x.urls") },
        work.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, QByteArray("No URLs!\n"));
    EXPECT_FALSE(QFileInfo::exists(work.filePath(QStringLiteral("x.urls"))));
}

TEST(CliTools, ExportWritesWhatTheClipboardWouldGet)
{
    QTemporaryDir work;
    const QString input = copyFixture(work, QStringLiteral("sample.sdata"));

    const CliResult csv
        = test::runCli({ QStringLiteral("export"), input, QStringLiteral("--csv") }, work.path());
    EXPECT_EQ(csv.exitCode, 0);
    EXPECT_EQ(csv.err, QByteArray("Added to clipboard!\n"));
    EXPECT_EQ(csv.out, test::readFixture(QStringLiteral("cli/sample.csv")));

    // Open Spider Data keeps every line, each ended by CR LF; the plain form is that text.
    const CliResult plain = test::runCli({ QStringLiteral("export"), input }, work.path());
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.out, test::readFixture(QStringLiteral("cli/sample.sdata")));

    const CliResult html
        = test::runCli({ QStringLiteral("export"), input, QStringLiteral("--html") }, work.path());
    EXPECT_EQ(html.exitCode, 0);
    EXPECT_TRUE(html.out.startsWith("Smith, Jones and Co<br>Lawyers \"since 1900\" in town<br>"));
    EXPECT_FALSE(html.out.contains('\n'));

    test::writeFileBytes(work.filePath(QStringLiteral("empty.sdata")), "");
    const CliResult empty = test::runCli(
        { QStringLiteral("export"), QStringLiteral("empty.sdata"), QStringLiteral("--csv") }, work.path());
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.err, QByteArray("No spider data!\n"));
    EXPECT_TRUE(empty.out.isEmpty());
}

TEST(CliTools, SuggestWithoutASeedIsRefused)
{
    QTemporaryDir work;
    const CliResult result = test::runCli({ QStringLiteral("suggest"), QString() }, work.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, QByteArray("No search term entered!\n"));
}

TEST(CliTools, UsageErrorsExitTwo)
{
    QTemporaryDir work;
    const QStringList cases[] = {
        {},
        { QStringLiteral("crawl") },
        { QStringLiteral("spider") },
        { QStringLiteral("spider"), QStringLiteral("a.urls"), QStringLiteral("b.urls") },
        { QStringLiteral("spider"), QStringLiteral("a.urls"), QStringLiteral("--colour") },
        { QStringLiteral("spider"), QStringLiteral("a.urls"), QStringLiteral("--referer") },
        { QStringLiteral("spider"), QStringLiteral("a.urls"), QStringLiteral("--any-word=1") },
        { QStringLiteral("spider"), QStringLiteral("a.urls"), QStringLiteral("--page-name"),
            QStringLiteral("p") },
        { QStringLiteral("spider"), QStringLiteral("a.urls"), QStringLiteral("--pages"), QStringLiteral("d"),
            QStringLiteral("--description-only"), QStringLiteral("--title-link") },
        { QStringLiteral("export"), QStringLiteral("a.sdata"), QStringLiteral("--csv"),
            QStringLiteral("--csv") },
        { QStringLiteral("--home"), QStringLiteral("/no/such/folder"), QStringLiteral("shuffle"),
            QStringLiteral("a.urls") },
    };
    for (const QStringList& arguments : cases) {
        const CliResult result = test::runCli(arguments, work.path());
        EXPECT_EQ(result.exitCode, 2) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(result.err.startsWith("tarnwick-cli: ")) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
}

/// The options a help text lists, in order.
QStringList optionsIn(const QByteArray& help)
{
    QStringList options;
    static const QRegularExpression option(
        QStringLiteral("^  (-[-a-z]+)"), QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch& match : option.globalMatch(QString::fromUtf8(help)))
        options.append(match.captured(1));
    return options;
}

TEST(CliTools, HelpListsEveryCommandAndEveryListedOptionIsAccepted)
{
    QTemporaryDir work;
    const CliResult top = test::runCli({ QStringLiteral("--help") }, work.path());
    EXPECT_EQ(top.exitCode, 0);
    const struct {
        const char* name;
        const char* emptyInput; // an input the command refuses, so that it stops before any work
        QStringList expected;
    } commands[] = {
        { "suggest", "", { "--country", "--source", "--expand", "--add", "-o", "--home", "-h" } },
        { "harvest", "empty.kwrds", { "--source", "--uk", "--full-url", "-o", "--home", "-h" } },
        { "spider", "empty.urls",
            { "--user-agent", "--referer", "--timeout", "--parallel", "--filter", "--any-word",
                "--description-only", "--title-link", "--pages", "--page-name", "--sitemap-name", "--heading",
                "--per-page", "--template", "--font", "--size", "--vertical", "-o", "--save-urls", "--report",
                "--home", "-h" } },
        { "shuffle", "empty.urls", { "-o", "--home", "-h" } },
        { "export", "empty.sdata", { "--csv", "--html", "--home", "-h" } },
    };
    for (const char* name : { "empty.kwrds", "empty.urls", "empty.sdata" })
        test::writeFileBytes(work.filePath(QLatin1String(name)), "");

    for (const auto& command : commands) {
        const QString name = QLatin1String(command.name);
        EXPECT_TRUE(top.out.contains("  " + QByteArray(command.name) + ' ')) << command.name;
        const CliResult help = test::runCli({ name, QStringLiteral("--help") }, work.path());
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith("Usage: tarnwick-cli " + QByteArray(command.name) + ' '));
        const QStringList listed = optionsIn(help.out);
        EXPECT_EQ(listed, command.expected) << command.name;

        for (const QString& option : listed) {
            if (option == QLatin1String("-h"))
                continue;
            QStringList arguments { name, QLatin1String(command.emptyInput), option };
            if (help.out.contains(("  " + option + " ").toUtf8()))
                arguments.append(option == QLatin1String("--home") ? work.path() : QStringLiteral("x"));
            if (name == QLatin1String("spider") && option != QLatin1String("--pages"))
                arguments << QStringLiteral("--pages") << QStringLiteral("x");
            const CliResult run = test::runCli(arguments, work.path());
            EXPECT_EQ(run.exitCode, 1)
                << arguments.join(QLatin1Char(' ')).toStdString() << ": " << run.err.toStdString();
        }
    }
}

} // namespace
} // namespace tarnwick
