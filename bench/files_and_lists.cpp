// The list commands at full size, each beside a plain reference in the same run:
//   - Open URLs of a 30000-line file (dialog answered by the fake platform) against reading
//     the same file with QFile and splitting it into a QStringList;
//   - the randomiser over 30000 entries against std::shuffle of the same list;
//   - the CSV clipboard export of 10000 spider records against a plain join of their lines.
// Prints the best of several runs of each and the ratio command / reference.
//
//   build/bench/bench_files_and_lists [runs]
#include "app/form1.h"
#include "app/startup.h"
#include "files/file_commands.h"
#include "listtools/clipboard_export.h"
#include "listtools/randomiser.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

namespace {

using tarnwick::Form1;
using tarnwick::test::FakePlatform;

/// The fake platform with the real clock, so the randomiser paces its event passes as it
/// does under the window.
struct WallClockPlatform : FakePlatform {
    QDateTime now() override { return QDateTime::currentDateTimeUtc(); }
};

std::unique_ptr<Form1> makeForm()
{
    auto form = std::make_unique<Form1>(std::make_unique<tarnwick::test::FakeTransferControl>());
    tarnwick::Form_Load(*form);
    return form;
}

/// Best time in milliseconds of `runs` runs; `prepare` runs untimed before each.
double bestMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

void report(const char* name, double commandMs, double referenceMs)
{
    std::printf("%-34s command %9.2f ms   reference %9.2f ms   ratio %6.1f\n", name, commandMs, referenceMs,
        referenceMs > 0 ? commandMs / referenceMs : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;

    // Open URLs.
    const QString urlFile = dir.filePath(QStringLiteral("bench.urls"));
    {
        QByteArray bytes;
        for (int i = 0; i < 30000; ++i)
            bytes += "http://www.site" + QByteArray::number(i) + ".example/some/path/page.html\r\n";
        QFile file(urlFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    auto form = makeForm();
    WallClockPlatform p;
    p.folder = dir.path();
    const double openMs = bestMs(
        runs, [&] { p.answerDialog(urlFile); }, [&] { tarnwick::mnuOpenURLs_Click(*form, p); });
    QStringList reference;
    const double readMs = bestMs(
        runs, [] {},
        [&] {
            QFile file(urlFile);
            if (file.open(QIODevice::ReadOnly))
                reference
                    = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        });
    if (form->List1.items() != reference || reference.size() != 30000) {
        std::fprintf(stderr, "open gave %d entries, reference %lld\n", form->List1.ListCount(),
            static_cast<long long>(reference.size()));
        return 1;
    }
    report("open 30000-line URL file", openMs, readMs);

    // Randomise.
    const QStringList original = reference;
    const double randomiseMs = bestMs(
        runs, [&] { form->List1.replaceAll(original); }, [&] { tarnwick::Command4_Click(*form, p); });
    QStringList shuffled;
    std::mt19937 generator(1);
    const double shuffleMs = bestMs(
        runs, [&] { shuffled = original; },
        [&] { std::shuffle(shuffled.begin(), shuffled.end(), generator); });
    report("randomise 30000 entries", randomiseMs, shuffleMs);

    // CSV export.
    QString data;
    for (int i = 0; i < 10000; ++i) {
        data += QStringLiteral(
            "Title of site %1, a \"quoted\" word\r\nA description of site %1 that runs on for a "
            "while\r\nhttp://www.site%1.example/\r\n\r\n")
                    .arg(i);
    }
    form->RichTextBox1.setText(data);
    form->Check7.setValue(1);
    const double csvMs = bestMs(
        runs, [&] { p.messages.clear(); }, [&] { tarnwick::Command5_Click(*form, p); });
    QString joined;
    const double joinMs = bestMs(
        runs, [] {}, [&] { joined = data.split(QStringLiteral("\r\n")).join(QLatin1Char(',')); });
    if (p.clipboard.count(QStringLiteral("\r\n")) != 10000)
        return 1;
    report("csv export of 10000 records", csvMs, joinMs);
    return 0;
}
