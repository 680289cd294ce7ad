#include "ui/status_strip.h"

#include "app/form1.h"
#include "app/text_ops.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include <algorithm>
#include <climits>

namespace tarnwick {

namespace {

constexpr int kRedrawMs = 250;
constexpr int kWaitTickMs = 250;

QString of(qint64 done, qint64 total)
{
    return QStringLiteral("%1 of %2").arg(done).arg(total);
}

StatusReading spiderReading(
    const Form1& f, qint64 urlTotal, RunRate& rate, qint64 nowMs, RateSampling sampling)
{
    // The figures are the window's own labels: "Spidered:" and "Added:".
    const qint64 position = static_cast<qint64>(Val(f.Label15.Caption()));
    // The position counts the request in flight too.
    const qint64 done = std::max<qint64>(position - (f.Inet1->StillExecuting() ? 1 : 0), 0);
    const qint64 total = std::max(urlTotal, position);
    if (sampling == RateSampling::Sample)
        rate.sample(nowMs, done);
    return { QStringLiteral("Spider: URL ") + of(position, total) + QStringLiteral(", ") + f.Label10.Caption()
            + QStringLiteral(" added") + rate.describe(total),
        done, total };
}

StatusReading harvestReading(const Form1& f)
{
    const RunProgress& run = f.progress;
    if (run.harvestStartingInstance)
        return { QStringLiteral("Starting the private search instance…") };
    QString text = QStringLiteral("Harvest: keyword ") + of(f.List2.ListIndex() + 1, f.List2.ListCount())
        + QStringLiteral(", page %1, %2 URLs found").arg(run.harvestPage).arg(run.harvestFound);
    // After Stop All the wait ends at its next tick: no countdown to a request that never comes.
    if (run.harvestWaitTicks > 0 && f.Label3.Caption() != QLatin1String("0")) {
        const int seconds = (run.harvestWaitTicks * kWaitTickMs + 999) / 1000;
        switch (run.harvestNext) {
        case HarvestNext::Page: text += QStringLiteral(", next page in %1s").arg(seconds); break;
        case HarvestNext::Keyword: text += QStringLiteral(", next keyword in %1s").arg(seconds); break;
        case HarvestNext::Nothing: text += QStringLiteral(", finishing in %1s").arg(seconds); break;
        }
    }
    return { text };
}

StatusReading randomiserReading(const Form1& f)
{
    const RunProgress& run = f.progress;
    QString phase;
    switch (run.randomiserPhase) {
    case RandomiserPhase::Drawing: phase = QStringLiteral("drawing new positions"); break;
    case RandomiserPhase::Scrambling: phase = QStringLiteral("scrambling"); break;
    case RandomiserPhase::Rebuilding: phase = QStringLiteral("building the new list"); break;
    }
    return { QStringLiteral("Randomiser: ") + phase + QStringLiteral(", ")
        + of(run.randomiserDone, run.randomiserSteps) };
}

StatusReading lookupReading(const Form1& f)
{
    const RunProgress& run = f.progress;
    QString text = QStringLiteral("Keyword lookup: \"") + run.lookupSeedText + QStringLiteral("\"");
    if (run.lookupSeeds > 1)
        text += QStringLiteral(" (") + of(run.lookupSeed, run.lookupSeeds) + QLatin1Char(')');
    text += QStringLiteral(", ") + f.Label7.Caption() + QStringLiteral(" keywords found");
    // A bar only where there is more than one request to count.
    return { text, run.lookupSeeds > 1 ? run.lookupSeed - 1 : 0, run.lookupSeeds > 1 ? run.lookupSeeds : 0 };
}

} // namespace

StatusStrip::StatusStrip(Form1& form, QStatusBar* bar, std::function<void()> redrawWindow)
    : form_(form)
    , label_(new QLabel(bar))
    , bar_(new QProgressBar(bar))
    , redrawWindow_(std::move(redrawWindow))
{
    // The strip may repeat text from the web (a summary naming a site); never markup.
    label_->setTextFormat(Qt::PlainText);
    bar->addWidget(label_, 1);
    bar_->setMaximumWidth(bar_->fontMetrics().averageCharWidth() * 24);
    bar_->hide();
    bar->addPermanentWidget(bar_);
    timer_.setInterval(kRedrawMs);
    QObject::connect(&timer_, &QTimer::timeout, label_, [this] {
        sampleDue_ = true;
        redrawWindow_();
    });
}

qint64 StatusStrip::runClockMs()
{
    return clock_.elapsed() - heldMs_ - (held_.isValid() ? held_.elapsed() : 0);
}

void StatusStrip::sync()
{
    const bool running = form_.activity != Activity::None;
    if (running && !measuring_) {
        measuring_ = true;
        urlTotal_ = form_.List1.ListCount();
        rate_.restart();
        clock_.start();
        heldMs_ = 0;
        held_.invalidate();
        timer_.start();
    } else if (!running && measuring_) {
        measuring_ = false;
        timer_.stop();
    }
    // A message or question holds the command that showed it until it is answered.
    const bool held = QApplication::activeModalWidget() != nullptr;
    if (held && !held_.isValid()) {
        held_.start();
    } else if (!held && held_.isValid()) {
        heldMs_ += held_.elapsed();
        held_.invalidate();
    }
    const RateSampling sampling = sampleDue_ && !held ? RateSampling::Sample : RateSampling::Keep;
    sampleDue_ = false;
    // A command may set the caption before it ends: a spider run its summary, under its end message.
    if (running || showsProgress_ || shownCaption_ != form_.labelStatus.revision())
        redraw(sampling);
}

StatusReading StatusStrip::read(
    const Form1& f, qint64 urlTotal, RunRate& rate, qint64 nowMs, RateSampling sampling)
{
    // A command that sets its summary as it ends shows it while its end message is up.
    if (f.activity != Activity::None && !f.labelStatus.Caption().isEmpty())
        return { f.labelStatus.Caption() };
    switch (f.activity) {
    case Activity::Spider: return spiderReading(f, urlTotal, rate, nowMs, sampling);
    case Activity::Harvest: return harvestReading(f);
    case Activity::Randomise: return randomiserReading(f);
    case Activity::Lookup: return lookupReading(f);
    case Activity::Publish:
    case Activity::None: break;
    }
    return { f.labelStatus.Caption() };
}

void StatusStrip::redraw(RateSampling sampling)
{
    const StatusReading reading = read(form_, urlTotal_, rate_, measuring_ ? runClockMs() : 0, sampling);
    showsProgress_ = form_.activity != Activity::None;
    shownCaption_ = form_.labelStatus.revision();
    if (label_->text() != reading.text)
        label_->setText(reading.text);
    const bool barShown = reading.maximum > 0;
    if (barShown) {
        // The bar counts in ints; a URL list never holds more than a few tens of thousands.
        bar_->setRange(0, static_cast<int>(std::min<qint64>(reading.maximum, INT_MAX)));
        bar_->setValue(static_cast<int>(std::min(reading.value, reading.maximum)));
    }
    if (bar_->isVisibleTo(bar_->parentWidget()) != barShown)
        bar_->setVisible(barShown);
}

} // namespace tarnwick
