// The harvest's de-duplication at full size: 30000 distinct site roots, each asked for with
// FindListEntry on the URL list and then added, as the harvest does for every link, plus a
// second pass over the same roots in capitals (all found, nothing added). Beside it, the plain
// reference: the same candidates through a QSet of their lower-case forms.
// Prints the CPU time of each and the ratio command / reference.
//
//   build/bench/bench_harvest_lookups
#include "app/form1.h"
#include "app/startup.h"
#include "harvest/find_list_entry.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"

#include <QCoreApplication>
#include <QSet>

#include <cstdio>
#include <ctime>

namespace {

double cpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    constexpr int kSites = 30000;
    QStringList roots;
    for (int i = 0; i < kSites; ++i)
        roots << QStringLiteral("http://www.site%1.example/").arg(i);

    tarnwick::Form1 f { std::make_unique<tarnwick::test::FakeTransferControl>() };
    tarnwick::Form_Load(f);
    tarnwick::test::FakePlatform p;
    int found = 0;
    const double start = cpuMs();
    for (const QString& root : roots) {
        if (tarnwick::FindListEntry(p, f.List1, root, false, -1) == -1)
            f.List1.AddItem(root);
    }
    for (const QString& root : roots)
        found += tarnwick::FindListEntry(p, f.List1, root.toUpper(), false, -1) != -1 ? 1 : 0;
    const double commandMs = cpuMs() - start;

    QSet<QString> seen;
    int referenceFound = 0;
    const double referenceStart = cpuMs();
    for (const QString& root : roots)
        seen.insert(root.toLower());
    for (const QString& root : roots)
        referenceFound += seen.contains(root.toUpper().toLower()) ? 1 : 0;
    const double referenceMs = cpuMs() - referenceStart;

    if (f.List1.ListCount() != kSites || found != kSites || referenceFound != kSites) {
        std::fprintf(stderr, "list %d, found %d, reference %d\n", f.List1.ListCount(), found, referenceFound);
        return 1;
    }
    std::printf("%-40s command %9.2f ms CPU   reference %9.2f ms CPU   ratio %6.1f\n",
        "30000 sites added, then 30000 found", commandMs, referenceMs,
        referenceMs > 0 ? commandMs / referenceMs : 0.0);
    return 0;
}
