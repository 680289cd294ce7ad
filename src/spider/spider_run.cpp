#include "spider/spider_run.h"

#include "app/app_path.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/stoppable_wait.h"
#include "app/text_ops.h"
#include "listtools/consolidation.h"
#include "net/blocking_fetch.h"
#include "net/buffered_response.h"
#include "net/draining.h"
#include "net/fetch_pool.h"
#include "pages/sitemap.h"
#include "spider/journal_state.h"
#include "spider/response_handler.h"
#include "spider/run_courtesy.h"
#include "spider/spider_checks.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tarnwick {

namespace {

// Answers that arrived ahead of their turn wait in memory; this bounds how far ahead of the
// URL being processed requests start, as a multiple of the requests in flight.
constexpr int kLookAhead = 2;

int timeoutSeconds(const Form1& f)
{
    return static_cast<int>(roundHalfEven(Val(f.Combo2.Text())));
}

void setTimeout(Form1& f)
{
    f.Inet1->setRequestTimeout(timeoutSeconds(f));
}

QString headerBlock(const Form1& f)
{
    return QStringLiteral("\r\n\r\nReferer: ") + f.Text6.Text() + QStringLiteral("\r\nUser-Agent: ")
        + f.Text4.Text();
}

// Records what became of the URL at `position` (0-based) once the handler has seen it.
void recordOutcome(Form1& f, int position, const QString& url, int acceptedBefore, int errorCode,
    const QString& errorInfo, int httpStatus)
{
    f.runReport.add(RunReport::judge(position + 1, url, f.List5.ListCount() > acceptedBefore, errorCode,
        errorInfo, httpStatus, f.pageVerdict));
    if (f.runJournal)
        f.runJournal->record(f.runReport.outcomes().back());
    // The next URL's request may end without a page; it must not inherit this one's verdict.
    f.pageVerdict = PageVerdict::NotRead;
}

// One request at a time on Inet1, whose notifications go straight to the handler. False
// when the window was unloaded.
bool walkOneByOne(Form1& f, Platform& p, int i, RunCourtesy& courtesy)
{
    const QString url = f.List1.List(i);
    const int acceptedBefore = f.List5.ListCount();
    f.List1.setListIndex(i);
    f.Text7.setText(url);
    for (int retries = 0;; ++retries) {
        QString refusal;
        const Turn turn = courtesy.awaitTurn(url, refusal);
        if (turn == Turn::Unloaded)
            return false;
        if (turn == Turn::Stopped)
            return true;
        if (turn == Turn::Refused) {
            recordOutcome(f, i, url, acceptedBefore, TransferControl::kErrorRobotsRefused, refusal, 0);
            return true;
        }
        HoldPassingAnswers hold(*f.Inet1, courtesy.holdFor(retries));
        setTimeout(f);
        f.Inet1->Execute(url, QStringLiteral("GET"), QString(), headerBlock(f));
        while (f.Inet1->StillExecuting()) {
            if (!p.waitForEvents(100))
                return false;
        }
        const RunCourtesy::Next next = courtesy.afterRequest(retries, f.Inet1->ResponseCode(),
            f.Inet1->httpStatus(), f.Inet1->responseHeader(QStringLiteral("Retry-After")));
        if (next == RunCourtesy::Next::Unloaded)
            return false;
        if (next != RunCourtesy::Next::AskAgain) {
            f.runReport.retriedNext(retries);
            break;
        }
    }
    recordOutcome(
        f, i, url, acceptedBefore, f.Inet1->ResponseCode(), f.Inet1->ResponseInfo(), f.Inet1->httpStatus());
    return true;
}

QString hostOf(const QString& entry)
{
    return requestUrl(entry).host().toLower();
}

// Starts requests for the positions from `first` on, in list order, while the pool can run
// more and within the look-ahead; a position whose host has enough requests running waits.
void startAhead(Form1& f, FetchPool& pool, int first, int end, RunCourtesy& courtesy)
{
    const int perHost = requestsPerHost(f);
    for (int j = first; j < end && j < f.List1.ListCount() && pool.canRunMore(); ++j) {
        if (pool.holds(j))
            continue;
        const QString url = f.List1.List(j);
        const QString host = hostOf(url);
        if (pool.runningFor(host) >= perHost || !courtesy.takeTurn(url))
            continue;
        pool.start({ j, url, headerBlock(f), host, timeoutSeconds(f) });
    }
}

// Position i of a run with several requests in flight: waits for its answer while others
// run, then hands it to the handler as if it had just arrived. False when the window was
// unloaded.
bool walkInTurn(Form1& f, Platform& p, FetchPool& pool, int i, int end, RunCourtesy& courtesy)
{
    std::optional<FinishedFetch> done;
    for (int retries = 0;;) {
        qint64 crawlDelayLeft = 0;
        if (!pool.holds(i) && i < f.List1.ListCount()) {
            const QString url = f.List1.List(i);
            const Admission admission = courtesy.admit(url);
            if (admission.kind == Admission::Kind::Refused) {
                f.List1.setListIndex(i);
                f.Text7.setText(url);
                recordOutcome(f, i, url, f.List5.ListCount(), TransferControl::kErrorRobotsRefused,
                    admission.reason, 0);
                return true;
            }
            crawlDelayLeft = admission.waitMs;
        }
        startAhead(f, pool, i, end, courtesy);
        if ((done = pool.take(i))) {
            const RunCourtesy::Next next
                = courtesy.afterRequest(retries, done->errorCode, done->httpStatus, done->retryAfter);
            if (next == RunCourtesy::Next::Unloaded)
                return false;
            if (next == RunCourtesy::Next::AskAgain) {
                ++retries;
                continue;
            }
            // Stopped while waiting to ask again: the answer it had is a failure, never a record.
            if (next == RunCourtesy::Next::Stopped)
                done->completed = false;
            f.runReport.retriedNext(retries);
            break;
        }
        // The list may have lost the entry before its request could start.
        if (!pool.holds(i) && i >= f.List1.ListCount())
            return true;
        // Its site's Crawl-delay holds it back: only the clock lets it go.
        if (crawlDelayLeft > 0 && !pool.holds(i)) {
            const WaitEnd waited
                = waitUnlessStopped(p, f.Label3, std::min<qint64>(crawlDelayLeft, kWaitSliceMs));
            if (waited != WaitEnd::Elapsed)
                return waited == WaitEnd::Stopped;
            continue;
        }
        if (!p.waitForEvents(100))
            return false;
    }
    const int acceptedBefore = f.List5.ListCount();
    if (i < f.List1.ListCount())
        f.List1.setListIndex(i);
    f.Text7.setText(done->request.url);
    if (done->completed) {
        BufferedResponse response(std::move(done->body), done->httpStatus);
        Inet1_StateChanged(f, p, response, TransferControl::icResponseCompleted);
        if (p.unloaded())
            return false;
    }
    recordOutcome(
        f, i, done->request.url, acceptedBefore, done->errorCode, done->errorInfo, done->httpStatus);
    return true;
}

// `last` is the list position the run reached, where Consolidate goes on from.
void stopRun(Form1& f, Platform& p, int last)
{
    markStopPoint(f, last);
    f.labelStatus.setCaption(f.runReport.summaryText());
    p.MsgBox(
        f.pageFailure.isEmpty() ? QStringLiteral("Stopped!") : QStringLiteral("Stopped! ") + f.pageFailure);
    f.setCaption(QStringLiteral("Tarnwick"));
    if (f.Inet1->StillExecuting())
        f.Inet1->Cancel();
}

void completeRun(Form1& f, Platform& p)
{
    if (f.Inet1->StillExecuting())
        f.Inet1->Cancel();
    // The sitemap comes before the URL list is replaced: one that cannot be written stops the
    // run, and a stopped run keeps its whole URL list and its accepted URLs.
    if (f.Check3.Value() != 0 && !f.Text15.Text().isEmpty()) {
        createsitemap(f, p);
        if (p.unloaded())
            return;
        if (!f.pageFailure.isEmpty()) {
            stopRun(f, p, f.List1.ListCount() - 1);
            return;
        }
    }
    f.List1.replaceAll(f.List5.items());
    f.Label1.setCaption(numText(f.List1.ListCount()));
    f.List5.Clear();
    f.labelStatus.setCaption(f.runReport.summaryText());
    p.MsgBox(QStringLiteral("Run completed! Tarnwick list of sites spidered!"));
    f.setCaption(QStringLiteral("Tarnwick"));
}

} // namespace

int parallelRequests(const Form1& f)
{
    return static_cast<int>(std::clamp<double>(roundHalfEven(Val(f.Combo8.Text())), 1, kMaxParallelRequests));
}

int requestsPerHost(const Form1& f)
{
    return std::clamp(
        wholeNumber(f.Combo10.Text()).value_or(kDefaultRequestsPerHost), 1, kMaxParallelRequests);
}

bool DirExists(const QString& dirPath)
{
    return !dirPath.isEmpty() && QFileInfo(dirPath).isDir();
}

namespace {

// In place of the checks of a new run: the interrupted run's settings, and its page folder,
// which the user may have removed meanwhile.
bool restoreRun(Form1& f, Platform& p, const RunJournal& journal)
{
    restoreSettings(f, journal.contents().header);
    if (f.Check3.Value() == 0)
        return true;
    f.Text12.setText(QStringLiteral("0"));
    f.Text15.setText({});
    f.pageFiles.clear();
    const QString folder = AppPath(p) + f.Text8.Text().trimmed();
    if (QDir().mkpath(folder))
        return true;
    p.MsgBox(QStringLiteral("The folder %1 cannot be made.").arg(folder));
    return false;
}

// A new run; or, given its journal, the interrupted run from its first URL without an outcome.
void spiderRun(Form1& f, Platform& p, std::unique_ptr<RunJournal> resumed)
{
    if (f.activity != Activity::None)
        return;
    if (resumed ? !restoreRun(f, p, *resumed) : !checkSpiderInputs(f, p))
        return;
    // Only now does a run exist for the window to show; a refused one never started.
    ActivityScope scope(f, Activity::Spider);

    f.pageFailure.clear();
    clearStopPoint(f);
    f.List5.Clear();
    f.List7.Clear();
    f.Label10.setCaption(QStringLiteral("0"));
    f.Label15.setCaption(QStringLiteral("0"));
    if (!drainTransfer(*f.Inet1, p))
        return;
    setTimeout(f);
    f.Label3.setCaption(QStringLiteral("1"));
    f.Text13.setText(QStringLiteral("0"));
    f.Text14.setText({});
    f.RichTextBox1.setText({});

    const int count = f.List1.ListCount();
    f.runReport.clear(count);
    const int start = resumed ? resumed->contents().nextIndex() : 0;
    f.runStarted = resumed ? resumed->contents().header.started : p.now();
    if (resumed)
        replayEntries(f, resumed->contents().entries);
    const std::unique_ptr<RunRecorder> journal
        = resumed ? std::make_unique<RunRecorder>(f, p, std::move(resumed)) : startJournal(f, p);
    const int parallel = parallelRequests(f);
    RunCourtesy courtesy(f, p, headerBlock(f));
    std::unique_ptr<FetchPool> pool;
    if (parallel > 1) {
        pool = std::make_unique<FetchPool>([&f] { return f.Inet1->makeSibling(); }, parallel);
        pool->onProgress
            = [&f, &p](TransferControl& source, int state) { Inet1_StateChanged(f, p, source, state); };
    }
    for (int i = start; i < count; ++i) {
        f.Label15.setCaption(numText(i + 1));
        f.Text13.setText(numText(i + 1));
        // The list may have been changed from inside an event pass; a missing entry is skipped.
        if (i < f.List1.ListCount()) {
            const bool alive = pool
                ? walkInTurn(f, p, *pool, i, std::min(count, i + kLookAhead * parallel), courtesy)
                : walkOneByOne(f, p, i, courtesy);
            if (!alive)
                return;
        }
        if (f.Label3.Caption() == QLatin1String("0")) {
            // Answers fetched ahead for later positions leave no trace.
            pool.reset();
            stopRun(f, p, i);
            return;
        }
    }
    completeRun(f, p);
}

} // namespace

void Command3_Click(Form1& f, Platform& p)
{
    spiderRun(f, p, nullptr);
}

void resumeSpiderRun(Form1& f, Platform& p, std::unique_ptr<RunJournal> journal)
{
    spiderRun(f, p, std::move(journal));
}

} // namespace tarnwick
