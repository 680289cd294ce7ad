#pragma once

#include "spider/run_journal.h"

#include <memory>

namespace tarnwick {

class Form1;
class Platform;

/// The header of the journal of the run `f` is starting: the URL list, its file and every
/// control the run reads, stamped with the platform's clock.
JournalHeader journalHeader(const Form1& f, Platform& p);
/// Puts back the URL list and the controls a journal's header holds.
void restoreSettings(Form1& f, const JournalHeader& header);
/// Puts back what the journal's entries did, on a window set up as at the start of a run:
/// counters, spider data, accepted URLs, sitemap links, the run report's rows.
void replayEntries(Form1& f, const std::vector<JournalEntry>& entries);

/// The journal of the spider run going on. Each finished URL becomes one entry holding only
/// what changed since the one before. It is reachable as f.runJournal for its lifetime, and
/// its file is deleted when it ends with the run: only a killed run leaves one. An entry that
/// cannot be written is said once; the file is deleted then, so no half journal is offered
/// for resuming, and the run goes on without one.
class RunRecorder {
public:
    RunRecorder(Form1& f, Platform& p, std::unique_ptr<RunJournal> journal);
    ~RunRecorder();
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;

    /// Journals the URL `outcome` speaks of, with what it changed in the window.
    void record(const UrlOutcome& outcome);

private:
    void mark();

    Form1& f_;
    Platform& p_;
    std::unique_ptr<RunJournal> journal_;
    qsizetype dataSize_ = 0;
    qsizetype linksSize_ = 0;
    int acceptedCount_ = 0;
    qsizetype pageFilesCount_ = 0;
};

/// Starts the journal of a new run of `f`; null when the form keeps none. A journal that
/// cannot be written is said once, and the run goes on without it.
std::unique_ptr<RunRecorder> startJournal(Form1& f, Platform& p);

} // namespace tarnwick
