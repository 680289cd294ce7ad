#include "keywords/suggestion_lookup.h"

#include <QSet>

#include "app/form1.h"
#include "app/platform.h"
#include "app/text_ops.h"
#include "keywords/keyword_sources.h"
#include "keywords/server_countries.h"
#include "net/address_template.h"
#include "net/blocking_fetch.h"

namespace tarnwick {

namespace {

constexpr int kLimit = 30000;
constexpr int kTickMs = 250;
constexpr int kTimeoutSeconds = 30;

enum class Flow { Go, End };

// Every ending leaves the window at rest; the entries gathered stay, counted as they came.
void finish(Form1& f, Platform& p, const QString& message)
{
    if (!message.isEmpty())
        p.MsgBox(message);
    f.Label8.setBackColor(colour::ButtonFace);
    f.Label8.setCaption(QString());
}

// The pause between two requests of an expansion; End when stopped or the window went away.
Flow pause(Form1& f, Platform& p)
{
    const int ticks = pauseTicks(p.Rnd());
    for (int t = 0; t < ticks; ++t) {
        p.Sleep(kTickMs);
        if (!p.DoEvents())
            return Flow::End;
        if (f.Label3.Caption() == QLatin1String("0")) {
            finish(f, p, QStringLiteral("Stopped!"));
            return Flow::End;
        }
    }
    return Flow::Go;
}

} // namespace

QStringList expandedSeeds(const QString& seed)
{
    QStringList seeds { seed };
    for (char c = 'a'; c <= 'z'; ++c)
        seeds << seed + QLatin1Char(' ') + QLatin1Char(c);
    for (char c = '0'; c <= '9'; ++c)
        seeds << seed + QLatin1Char(' ') + QLatin1Char(c);
    return seeds;
}

int pauseTicks(double r)
{
    return static_cast<int>(roundHalfEven(8.0 * r) + 4);
}

void lookUpSuggestions(Form1& f, Platform& p, const KeywordSource& source)
{
    // A lookup started from another command's event pass would interleave on the same lists.
    if (f.activity != Activity::None)
        return;
    ActivityScope scope(f, Activity::Lookup);
    f.List2.Clear();
    f.Label7.setCaption(QStringLiteral("0"));
    f.Label8.setBackColor(colour::Yellow);
    f.Label8.setCaption(QStringLiteral("Grabbing keywords, please wait..."));
    const QStringList seeds = f.seedExpansion == SeedExpansion::On ? expandedSeeds(f.Text1.Text())
                                                                   : QStringList { f.Text1.Text() };
    // Only an expansion pauses to look at it, but the flag is raised for every lookup.
    f.Label3.setCaption(QStringLiteral("1"));
    if (!p.DoEvents())
        return;

    const CountryCodes codes = countryCodes(f.Combo1.Text());
    QSet<QString> listed;
    f.progress.lookupSeeds = static_cast<int>(seeds.size());
    for (qsizetype i = 0; i < seeds.size(); ++i) {
        f.progress.lookupSeed = static_cast<int>(i + 1);
        f.progress.lookupSeedText = seeds.at(i);
        if (i > 0) {
            f.Label8.setCaption(
                QStringLiteral("Grabbing keywords, please wait... %1 of %2").arg(i + 1).arg(seeds.size()));
            if (pause(f, p) == Flow::End)
                return;
        }
        const QString address = fillAddressTemplate(
            source.addressTemplate, { seeds.at(i), codes.language, codes.country, codes.region, 1 });
        const FetchResult result = fetchBlocking(QUrl(address), kTimeoutSeconds);
        if (p.unloaded())
            return;
        const Suggestions answer = source.read(result, address, source.silentHint);
        if (!answer.refusal.isEmpty()) {
            finish(f, p, answer.refusal);
            return;
        }
        for (const QString& completion : answer.completions) {
            const QString key = completion.toCaseFolded();
            if (listed.contains(key))
                continue;
            listed.insert(key);
            // Numbered through the whole list, so an expansion reads 1 to N, not 1 again per seed.
            f.List2.AddItem(numText(f.List2.ListCount() + 1) + QStringLiteral(" - ") + completion);
            f.Label7.setCaption(numText(f.List2.ListCount()));
        }
        if (f.List2.ListCount() > kLimit) {
            finish(f, p, QStringLiteral("Limit reached!"));
            return;
        }
    }
    finish(f, p, f.List2.ListCount() == 0 ? QStringLiteral("No results returned. Try again!") : QString());
}

} // namespace tarnwick
