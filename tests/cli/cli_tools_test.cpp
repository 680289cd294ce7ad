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
using test::runCli;
using test::words;

TEST(CliTools, ShuffleKeepsEveryEntryAndSavesWithTheMenuCommand)
{
    QTemporaryDir work;
    const QString input = work.filePath("ten.urls");
    test::writeFileBytes(input, test::readFixture("cli/ten.urls"));
    test::writeFileBytes(work.filePath("empty.urls"), "\r\n  \r\n");
    const CliResult result = runCli(words("shuffle ten.urls -o mixed.urls"), work.path());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err,
        QString("Entries scrambled!\nFile %1 saved!\n").arg(work.filePath("mixed.urls")).toUtf8());
    QList<QByteArray> oldLines = test::readFileBytes(input).split('\n');
    QList<QByteArray> newLines = test::readFileBytes(work.filePath("mixed.urls")).split('\n');
    std::sort(oldLines.begin(), oldLines.end());
    std::sort(newLines.begin(), newLines.end());
    EXPECT_EQ(newLines, oldLines);

    // Without -o the list goes to standard output, one entry a line.
    const CliResult printed = runCli(words("shuffle ten.urls"), work.path());
    EXPECT_EQ(printed.exitCode, 0);
    EXPECT_EQ(printed.out.count('\n'), 10);
    EXPECT_FALSE(printed.out.contains('\r'));

    const CliResult empty = runCli(words("shuffle empty.urls -o x.urls"), work.path());
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.err, QByteArray("No URLs!\n"));
    EXPECT_FALSE(QFileInfo::exists(work.filePath("x.urls")));
}

TEST(CliTools, ExportWritesWhatTheClipboardWouldGet)
{
    QTemporaryDir work;
    test::writeFileBytes(work.filePath("sample.sdata"), test::readFixture("cli/sample.sdata"));
    test::writeFileBytes(work.filePath("empty.sdata"), "");
    const struct {
        const char* arguments;
        int exitCode;
        QByteArray out;
    } cases[] = {
        { "export sample.sdata --csv", 0, test::readFixture("cli/sample.csv") },
        // Open Spider Data keeps every line, each ended by CR LF; the plain form is that text.
        { "export sample.sdata", 0, test::readFixture("cli/sample.sdata") },
        { "export empty.sdata --csv", 1, {} },
    };
    for (const auto& c : cases) {
        const CliResult result = runCli(words(c.arguments), work.path());
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments;
        EXPECT_EQ(result.out, c.out) << c.arguments;
        EXPECT_EQ(result.err, c.exitCode ? "No spider data!\n" : "Added to clipboard!\n") << c.arguments;
    }
    const CliResult html = runCli(words("export sample.sdata --html"), work.path());
    EXPECT_EQ(html.exitCode, 0);
    EXPECT_TRUE(html.out.startsWith("Smith, Jones and Co<br>Lawyers \"since 1900\" in town<br>"));
    EXPECT_FALSE(html.out.contains('\n'));
}

TEST(CliTools, RefusedSeedAndUsageErrors)
{
    QTemporaryDir work;
    const CliResult noSeed = runCli({ "suggest", QString() }, work.path());
    EXPECT_EQ(noSeed.exitCode, 1);
    EXPECT_EQ(noSeed.err, QByteArray("No search term entered!\n"));

    const char* const cases[] = { "", "crawl", "spider", "spider a.urls b.urls", "spider a.urls --colour",
        "spider a.urls --referer", "spider a.urls --any-word=1", "spider a.urls --page-name p",
        "spider a.urls --pages d --description-only --title-link", "export a.sdata --csv --csv",
        "--home /no/such/folder shuffle a.urls" };
    for (const char* arguments : cases) {
        const CliResult result = runCli(words(arguments), work.path());
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_TRUE(result.err.startsWith("tarnwick-cli: ")) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << arguments;
    }
}

TEST(CliTools, HelpListsEveryCommandAndEveryListedOptionIsAccepted)
{
    QTemporaryDir work;
    const CliResult top = runCli({ "--help" }, work.path());
    EXPECT_EQ(top.exitCode, 0);
    const struct {
        const char* name;
        const char* emptyInput; // an input the command refuses, so that it stops before any work
        const char* options;
    } commands[] = {
        { "suggest", "", "--country --source --expand --add -o --home -h" },
        { "harvest", "empty.kwrds", "--source --uk --full-url -o --home -h" },
        { "spider", "empty.urls",
            "--user-agent --referer --timeout --parallel --filter --any-word --description-only --title-link "
            "--pages --page-name --sitemap-name --heading --per-page --template --font --size --vertical -o "
            "--save-urls --report --home -h" },
        { "shuffle", "empty.urls", "-o --home -h" },
        { "export", "empty.sdata", "--csv --html --home -h" },
    };
    for (const char* name : { "empty.kwrds", "empty.urls", "empty.sdata" })
        test::writeFileBytes(work.filePath(name), "");
    static const QRegularExpression option("^  (-[-a-z]+)", QRegularExpression::MultilineOption);

    for (const auto& command : commands) {
        const QString name = command.name;
        EXPECT_TRUE(top.out.contains("  " + QByteArray(command.name) + ' ')) << command.name;
        const CliResult help = runCli({ name, "--help" }, work.path());
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith("Usage: tarnwick-cli " + QByteArray(command.name) + ' '));
        QStringList listed;
        for (const QRegularExpressionMatch& match : option.globalMatch(QString::fromUtf8(help.out)))
            listed.append(match.captured(1));
        EXPECT_EQ(listed, words(command.options)) << command.name;

        for (const QString& option : listed) {
            if (option == "-h")
                continue;
            QStringList arguments { name, command.emptyInput, option };
            if (help.out.contains(("  " + option + " ").toUtf8()))
                arguments.append(option == "--home" ? work.path() : "x");
            if (name == "spider" && option != "--pages")
                arguments << "--pages"
                          << "x";
            const CliResult run = runCli(arguments, work.path());
            EXPECT_EQ(run.exitCode, 1) << arguments.join(' ').toStdString() << ": " << run.err.toStdString();
        }
    }
}

} // namespace
} // namespace tarnwick
