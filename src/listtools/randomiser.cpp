#include "listtools/randomiser.h"

#include "app/form1.h"
#include "app/platform.h"
#include "app/text_ops.h"

#include <QDateTime>

#include <cmath>
#include <vector>

namespace tarnwick {
namespace {

/// Decides when a long loop lets events run and repaints: on its first step, then once
/// about every 16 ms. A pass of the real event loop and a repaint of a 30000-entry list cost
/// far more than one step, so doing them every step would make the randomiser crawl.
class PumpPacer {
public:
    explicit PumpPacer(Platform& p)
        : p_(p)
    {
    }

    bool due()
    {
        if (!started_) {
            started_ = true;
            last_ = p_.now();
            return true;
        }
        // Reading the clock costs too, so look at it only every few steps.
        if (++steps_ % kStepsPerClockLook != 0)
            return false;
        const QDateTime now = p_.now();
        if (last_.msecsTo(now) < kIntervalMs)
            return false;
        last_ = now;
        return true;
    }

private:
    static constexpr int kStepsPerClockLook = 32;
    static constexpr qint64 kIntervalMs = 16;
    Platform& p_;
    QDateTime last_;
    qint64 steps_ = 0;
    bool started_ = false;
};

QString positionKey(int position)
{
    return QLatin1Char(' ') + QString::number(position) + QLatin1Char(' ');
}

} // namespace

int Rand(Platform& p, int low, int high)
{
    return static_cast<int>(std::floor(p.Rnd() * (static_cast<double>(high) - low + 1))) + low;
}

void Command4_Click(Form1& f, Platform& p)
{
    if (f.activity != Activity::None)
        return;
    const int n = f.List1.ListCount();
    if (n == 0) {
        p.MsgBox(QStringLiteral("No URLs!"));
        return;
    }
    ActivityScope scope(f, Activity::Randomise);

    p.Randomize();
    f.List3.Clear();
    f.List4.Clear();
    const qint64 target = roundHalfEven(n * 4.0 / 6.0);
    // One entry can never give two distinct positions; the drawing ends once every position
    // is drawn, which leaves a single entry where it is.
    const qint64 wanted = std::min<qint64>(target + 1, n);

    // Positions in the order they joined scratch list A, beside A's keys; `drawn` answers
    // "is this key in A already" without a search through A.
    std::vector<int> order;
    std::vector<char> drawn(n, 0);
    auto addKey = [&](int position, bool repaint) {
        drawn[position] = 1;
        order.push_back(position);
        f.progress.randomiserDone = static_cast<qsizetype>(order.size());
        const QString key = positionKey(position);
        f.List3.AddItem(key);
        f.Label17.setCaption(QStringLiteral("Randomising: ") + key);
        if (repaint)
            p.Refresh();
    };

    f.progress.startRandomiserPhase(RandomiserPhase::Drawing, n);
    PumpPacer pacer(p);
    while (static_cast<qint64>(order.size()) < wanted) {
        const bool paced = pacer.due();
        if (paced && !p.DoEvents())
            return;
        // Another command may have changed the list during the pass; stop rather than
        // scramble positions that no longer exist.
        if (f.List1.ListCount() != n)
            break;
        const int position = Rand(p, 0, n - 1);
        if (position >= 0 && position < n && !drawn[position])
            addKey(position, paced);
    }
    if (f.List1.ListCount() == n) {
        for (int position = 0; position < n; ++position) {
            if (!drawn[position])
                addKey(position, pacer.due());
        }
    }

    f.progress.startRandomiserPhase(RandomiserPhase::Scrambling, static_cast<qsizetype>(order.size()));
    for (qsizetype i = 0; i < static_cast<qsizetype>(order.size()); ++i) {
        const bool paced = pacer.due();
        if (paced && !p.DoEvents())
            return;
        if (f.List1.ListCount() != n)
            break;
        const QString& entry = f.List1.List(order[i]);
        f.List4.AddItem(entry);
        f.progress.randomiserDone = i + 1;
        f.Label17.setCaption(QStringLiteral("Scrambling: ") + entry);
        if (paced)
            p.Refresh();
    }

    f.List3.Clear();

    // Only a scramble of every entry replaces the list, even one changed and changed back.
    const bool scrambledAll = f.List4.ListCount() == n;
    f.progress.startRandomiserPhase(RandomiserPhase::Rebuilding, n);
    for (int k = 0; scrambledAll && k < n; ++k) {
        const bool paced = pacer.due();
        if (paced && !p.DoEvents())
            return;
        if (f.List1.ListCount() != n)
            break;
        f.List1.setList(k, f.List4.List(k));
        f.progress.randomiserDone = k + 1;
        f.Label17.setCaption(QStringLiteral("Building new list..."));
        if (paced)
            p.Refresh();
    }

    f.List4.Clear();
    f.Label17.setCaption(QString());
    if (scrambledAll && f.List1.ListCount() == n)
        p.MsgBox(QStringLiteral("Entries scrambled!"));
}

} // namespace tarnwick
