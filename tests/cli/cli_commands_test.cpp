// What each command prints, where, and with which exit status, for inputs that need no network.
#include "cli/cli_process.h"
#include "harvest/result_sources.h"
#include "keywords/keyword_sources.h"
#include "support/fixtures.h"
#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tarnwick {
namespace {

using test::CliResult;
using test::runCli;
using test::words;

template <typename Source> QStringList namesOf(const std::vector<Source>& sources)
{
    QStringList names;
    for (const Source& source : sources)
        names.append(source.name);
    return names;
}

// What each kind of input gives, then the help of every command and every option it lists.
TEST(CliCommands, ExitStatusAndStreamsForEachKindOfInputHelpAndEveryListedOption)
{
    QTemporaryDir work;
    const QByteArray sample = test::readFixture("cli/sample.sdata");
    const std::pair<const char*, QByteArray> files[] = { { "data.sdata", sample }, { "empty.sdata", "" },
        { "empty.kwrds", "" }, { "empty.urls", "\r\n  \r\n" }, { "1.urls", "http://127.0.0.1:1/\r\n" },
        { "other.journal", "tarnwick?\n" } };
    for (const auto& [name, bytes] : files)
        test::writeFileBytes(work.filePath(name), bytes);
    ASSERT_TRUE(QDir(work.path()).mkdir("folder.sdata"));
    ASSERT_EQ(mkfifo(QFile::encodeName(work.filePath("pipe.kwrds")).constData(), 0600), 0);

    struct Row {
        QStringList arguments;
        int exitCode;
        // All of standard error when it ends a line, else how it starts; %1 is the work folder.
        QByteArray err, out;
    };
    auto usage = [](const char* error) {
        return "tarnwick-cli: " + QByteArray(error) + "\nTry 'tarnwick-cli spider --help'.\n";
    };
    std::vector<Row> rows = {
        { words("export data.sdata --csv"), 0, "Added to clipboard!\n", test::readFixture("cli/sample.csv") },
        // Open Spider Data keeps every line, each ended by CR LF; the plain form is that text.
        { words("export data.sdata"), 0, "Added to clipboard!\n", sample },
        { words("export data.sdata --html"), 0, "Added to clipboard!\n",
            QByteArray(sample).replace("\r\n", "<br>") },
        { words("export empty.sdata --csv"), 1, "No spider data!\n" },
        // Without -o the list goes to standard output, one entry a line; -o saves as Save URLs does.
        { words("shuffle 1.urls"), 0, "Entries scrambled!\n", "http://127.0.0.1:1/\n" },
        { words("shuffle 1.urls -o mixed.urls"), 0, "Entries scrambled!\nFile %1/mixed.urls saved!\n" },
        { words("shuffle empty.urls -o x.urls"), 1, "No URLs!\n" },
        { { "suggest", "" }, 1, "No search term entered!\n" },
        { words("suggest auto --source nowhere"), 1, unknownKeywordSource("nowhere").toUtf8() + '\n' },
        // What is no file ends at once.
        { words("shuffle /dev/zero"), 1, "File /dev/zero could not be opened: " },
        { words("harvest pipe.kwrds"), 1, "File %1/pipe.kwrds could not be opened: " },
        { words("export folder.sdata"), 1, "File %1/folder.sdata could not be opened: " },
        { words("spider none.urls --filter=x"), 1, "File %1/none.urls could not be opened: " },
        // The spider's checks; the title filter starts empty, as in the window.
        { words("spider 1.urls --referer= --filter=x"), 1,
            "No Referer (e.g. http://www.tarnwick.example/)! \n" },
        { words("spider 1.urls"), 1, "Title must contain a value (enter space to return all titles)!\n" },
        { words("spider 1.urls --filter=x --timeout abc"), 1,
            "Timeout must be a whole number of seconds from 1 to 86400 (e.g. 60)!\n" },
        { words("spider 1.urls --filter=x --parallel 8x"), 1,
            "Parallel requests must be a whole number from 1 to 16!\n" },
        { { "spider", "1.urls", "--filter=x", "--user-agent=Bot\r\nX-Injected: yes" }, 1,
            "Don't use control characters (tabs, line breaks and the like) in the User Agent! Enter one "
            "line, nothing else.\n" },
        { words("spider 1.urls --filter=x --retries 7"), 1, "Retries must be a whole number from 0 to 5!\n" },
        { { "spider", "1.urls", "--filter=x", "--pages=cars", "--page-name=a b", "--per-page=1" }, 1,
            "Don't use spaces in name, e.g. enter 'creditcards' NOT 'credit cards'. And don't add any file "
            "extension either (e.g. '.html').\n" },
        // --resume takes every setting from a journal, and needs one that it can resume.
        { words("spider --resume --filter x"), 2, usage("--filter cannot be given with --resume") },
        { words("--home . spider --resume"), 2, usage("--home cannot be given with --resume") },
        { words("spider --resume a b"), 2, usage("spider takes one FILE.urls, not 2 arguments") },
        { words("spider --resume"), 1, "No interrupted spider run to resume in %1/state/tarnwick.\n" },
        { words("spider --resume other.journal"), 1,
            "The journal other.journal cannot be resumed: it is not a Tarnwick run journal.\n" },
    };
    for (const char* arguments : { "", "crawl", "spider", "spider a.urls b.urls", "spider a.urls --colour",
             "spider a.urls --referer", "spider a.urls --any-word=1", "spider a.urls --page-name p",
             "spider a.urls --pages d --description-only --title-link", "export a.sdata --csv --csv",
             "--home /no/such/folder shuffle a.urls" })
        rows.push_back({ words(arguments), 2, "tarnwick-cli: " });

    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        const CliResult result
            = runCli(row.arguments, work.path(), { { "XDG_STATE_HOME", work.filePath("state") } });
        const std::string err = QString::fromUtf8(row.err).replace("%1", work.path()).toStdString();
        EXPECT_EQ(result.exitCode, row.exitCode);
        EXPECT_EQ(result.err.toStdString().substr(0, err.ends_with('\n') ? err.npos : err.size()), err);
        EXPECT_EQ(result.out.toStdString(), row.out.toStdString());
    }
    EXPECT_EQ(test::readFileBytes(work.filePath("mixed.urls")), "http://127.0.0.1:1/\r\n");
    EXPECT_FALSE(QFileInfo::exists(work.filePath("x.urls")));

    // The manual is made from --help-all and --version: every command's options, then the version.
    const CliResult top = runCli({ "--help" }, work.path()), all = runCli({ "--help-all" }, work.path()),
                    version = runCli({ "--version" }, work.path());
    for (const CliResult* result : { &top, &all, &version })
        EXPECT_EQ(result->exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("tarnwick-cli 1.0\n")) << version.out.toStdString();
    // A command, an empty input it refuses (so a run stops before any work), its options and sources.
    const std::tuple<const char*, const char*, const char*, QStringList> commands[] = {
        { "suggest", "", "--country --source --expand --add -o --home", namesOf(keywordSources()) },
        { "harvest", "empty.kwrds", "--source --uk --full-url -o --home", namesOf(resultSources()) },
        { "spider", "empty.urls",
            "--user-agent --referer --timeout --parallel --per-host --obey-robots --retries --filter "
            "--any-word --description-only --title-link --pages --page-name --sitemap-name --heading "
            "--site-url --per-page --template --font --size --vertical -o --save-urls --report --resume "
            "--home",
            {} },
        { "pages", "empty.sdata",
            "--pages --page-name --sitemap-name --heading --site-url --per-page --template --font --size "
            "--vertical --title-link --description-only --home",
            {} },
        { "shuffle", "empty.urls", "-o --home", {} },
        { "export", "empty.sdata", "--csv --html --home", {} },
    };
    static const QRegularExpression optionLine("^  (-[-a-z]+)", QRegularExpression::MultilineOption);

    for (const auto& [command, emptyInput, options, sources] : commands) {
        SCOPED_TRACE(command);
        const QString name = command;
        EXPECT_TRUE(top.out.contains("  " + name.toUtf8() + ' '));
        const CliResult help = runCli({ name, "--help" }, work.path());
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith("Usage: tarnwick-cli " + name.toUtf8() + ' '));
        for (const QString& source : sources)
            EXPECT_TRUE(help.out.contains(("\n        " + source + "  ").toUtf8())) << source.toStdString();
        QStringList listed;
        for (const QRegularExpressionMatch& match : optionLine.globalMatch(QString::fromUtf8(help.out)))
            listed.append(match.captured(1));
        EXPECT_EQ(listed, words(options) << "-h");
        const QString section = "\n" + name + ' ' + help.out.split(' ').value(3) + ":\n  " + listed.value(0);
        EXPECT_TRUE(QString::fromUtf8(all.out).contains(section)) << section.toStdString();

        for (const QString& option : words(options)) {
            QStringList arguments { name, emptyInput, option };
            if (help.out.contains(("  " + option + " ").toUtf8()))
                arguments.append(option == "--home" ? work.path() : "x");
            // --resume takes its settings from the journal, and the empty list is not one.
            if ((name == "spider" || name == "pages") && option != "--pages" && option != "--resume")
                arguments += { "--pages", "x" };
            const CliResult run = runCli(arguments, work.path());
            EXPECT_EQ(run.exitCode, 1) << arguments.join(' ').toStdString() << ": " << run.err.toStdString();
        }
    }
}

} // namespace
} // namespace tarnwick
