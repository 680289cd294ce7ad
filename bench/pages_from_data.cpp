// `tarnwick-cli pages` over a spider data file of 30,000 records (a run's limit), five to a
// page, timed with its peak memory beside two references made in the same run:
//   - `tarnwick-cli export` of the same file, which reads and holds the same data and writes
//     it out once, and
//   - a plain loop that writes the very files `pages` wrote (their bytes already in memory),
//     the floor for putting that many files on this disk.
//
//   build/bench/bench_pages_from_data [records] [per-page]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double seconds = 0;
    long peakKb = 0;
    int status = -1;
};

// Runs tarnwick-cli in `folder` with its output and messages thrown away, as a child of its own
// so that its peak memory is its own.
Run cli(const QString& folder, const QStringList& arguments)
{
    std::vector<QByteArray> bytes { QByteArrayLiteral(TARNWICK_CLI) };
    for (const QString& argument : arguments)
        bytes.push_back(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const QByteArray here = QDir::currentPath().toUtf8();
    QDir::setCurrent(folder);
    QElapsedTimer wall;
    wall.start();
    pid_t child = 0;
    Run run;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        rusage usage {};
        int status = 0;
        ::wait4(child, &status, 0, &usage);
        run = { wall.nsecsElapsed() / 1e9, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1 };
    }
    QDir::setCurrent(QString::fromUtf8(here));
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

QByteArray spiderData(int records)
{
    QByteArray data;
    for (int i = 0; i < records; ++i)
        data += "Cheap flights to destination " + QByteArray::number(i) + " this winter\r\n"
            + "Compare fares from every airline and book the cheapest seat to destination "
            + QByteArray::number(i) + "\r\nhttps://www.example" + QByteArray::number(i % 500)
            + ".com/flights/offer-" + QByteArray::number(i) + ".html\r\n\r\n";
    return data + "\r\n";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 30000;
    const QString perPage = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("5");
    // On the disk the benchmark runs on, as a user's folder would be.
    QTemporaryDir work(QDir::current().filePath(QStringLiteral("bench-pages-XXXXXX")));
    QFile file(work.filePath(QStringLiteral("data.sdata")));
    const QByteArray data = spiderData(records);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return 1;
    file.close();

    const Run pages = cli(work.path(),
        { QStringLiteral("pages"), QStringLiteral("data.sdata"), QStringLiteral("--pages"),
            QStringLiteral("site"), QStringLiteral("--page-name"), QStringLiteral("flights"),
            QStringLiteral("--sitemap-name"), QStringLiteral("map"), QStringLiteral("--heading"),
            QStringLiteral("Flights"), QStringLiteral("--per-page"), perPage, QStringLiteral("--site-url"),
            QStringLiteral("https://www.example.com/flights/") });
    const Run exported = cli(work.path(), { QStringLiteral("export"), QStringLiteral("data.sdata") });

    // The files pages wrote, written again by the plainest loop.
    const QDir site(work.filePath(QStringLiteral("site")));
    std::vector<std::pair<QString, QByteArray>> written;
    qint64 total = 0;
    for (const QString& name : site.entryList(QDir::Files)) {
        QFile page(site.filePath(name));
        page.open(QIODevice::ReadOnly);
        written.emplace_back(name, page.readAll());
        total += written.back().second.size();
    }
    QDir(work.path()).mkdir(QStringLiteral("plain"));
    QElapsedTimer wall;
    wall.start();
    for (const auto& [name, bytes] : written) {
        QFile copy(work.filePath(QStringLiteral("plain/") + name));
        if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size())
            return 1;
    }
    const double plain = wall.nsecsElapsed() / 1e9;

    std::printf("%d records (%.1f MB of spider data), %s to a page: %zu files, %.1f MB\n", records,
        data.size() / 1e6, qPrintable(perPage), written.size(), total / 1e6);
    std::printf("%-34s %7.2f s  peak %6.1f MB  exit %d\n", "tarnwick-cli pages", pages.seconds,
        pages.peakKb / 1024.0, pages.status);
    std::printf("%-34s %7.2f s  peak %6.1f MB  exit %d\n", "tarnwick-cli export (reference)",
        exported.seconds, exported.peakKb / 1024.0, exported.status);
    std::printf("%-34s %7.2f s\n", "plain loop writing the same files", plain);
    std::printf(
        "pages: %.2f x the time of export, %.2f x its peak memory; the plain loop takes %.2f of its time\n",
        pages.seconds / exported.seconds, static_cast<double>(pages.peakKb) / exported.peakKb,
        plain / pages.seconds);
    return pages.status == 0 ? 0 : 1;
}
