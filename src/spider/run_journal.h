#pragma once

#include "spider/run_report.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <future>
#include <memory>
#include <vector>

namespace tarnwick {

class Platform;

// The run journal: what a spider run has done, appended as it goes, so that a run killed by
// a crash, a power cut or the out-of-memory killer resumes where it was instead of being lost.
//
// One file per run, "<start>-<pid>.journal" in the state folder (app/state_folder.h), held
// with an exclusive flock() by the program that writes or resumes it, and deleted when the
// run ends, completed or stopped. UTF-8 text, one entry per line:
//
//   FIELD TAB FIELD ... TAB CHECK LF
//
// Each field is percent-escaped ("%" TAB CR LF as %25 %09 %0D %0A); CHECK is the CRC-32 of
// the bytes before its TAB in 8 lower-case hex digits. A last line without its LF or with a
// wrong CHECK was cut off and is dropped; a bad line before the last one is refused.
//
// Line 1, the header: "tarnwick-journal", the version ("1"), then "key=value" fields:
// started (ISO 8601, UTC), list (the URL list's file, may be empty), home (the program's
// folder), urls (the whole URL list, LF between entries), "set.<control>" for every
// control the run reads (filter, page settings, template, record options, headers, ...)
// and "x.<name>" for what the front end adds (the command line's output files).
//
// Every further line is one URL the run has finished with, in list order: "url", position
// (1-based), URL, outcome number, reason, added counter, page counter, page title, spider
// data change ("+" and the text appended, or "=" and the text that replaced it when a page
// was written), sitemap links appended, accepted URLs appended (LF between), results pages
// written, by file name, for sitemap.xml (LF between), and the times the URL was asked again.

/// Whether a spider run keeps a journal. Only the throughput benchmark turns it off, to
/// measure what the journal costs.
enum class RunJournaling { On, Off };

inline constexpr int kJournalVersion = 1;

struct JournalHeader {
    QDateTime started;
    QString listFile;
    QString home;
    QStringList urls;
    /// The controls the run reads, by name, in the order they are put back.
    QList<QPair<QString, QString>> settings;
    /// What the front end adds to the run (the command line's output files), by name.
    QList<QPair<QString, QString>> extras;

    QString setting(const QString& name) const;
    QString extra(const QString& name) const;
};

/// How a text that a run only appends to or empties changed since the last entry.
struct TextChange {
    enum class Kind { Appended, Replaced };
    Kind kind = Kind::Appended;
    QString text;
};

/// One URL the run has finished with, and what it changed in the window.
struct JournalEntry {
    UrlOutcome outcome;
    QString added; ///< the added counter after it
    QString counter; ///< the page counter after it
    QString pageTitle; ///< the page title field after it
    TextChange data; ///< the spider data
    QString links; ///< appended to the sitemap link list
    QStringList accepted; ///< appended to the accepted URL list
    QStringList pageFiles; ///< appended to the results pages sitemap.xml lists
};

struct JournalContents {
    JournalHeader header;
    std::vector<JournalEntry> entries;
    /// Bytes of the whole lines; a cut-off last entry lies beyond them.
    qint64 wholeBytes = 0;

    /// The list index of the first URL without an outcome.
    int nextIndex() const { return entries.empty() ? 0 : entries.back().outcome.position; }
};

/// A journal read back, or why it cannot be used.
struct JournalReading {
    JournalContents contents;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

QByteArray headerLine(const JournalHeader& header);
QByteArray entryLine(const JournalEntry& entry);
/// Reads a whole journal file. A cut-off or corrupt last line is left out; anything else
/// that does not read back, or another version, gives an error and no contents.
JournalReading readJournal(const QByteArray& bytes);

/// An open journal file, locked while this object lives so no other program takes it.
class RunJournal {
public:
    /// Starts the journal of a new run in `folder` (created if missing). Null, with `error`
    /// saying why, when it cannot be written.
    static std::unique_ptr<RunJournal> create(
        const QString& folder, const JournalHeader& header, Platform& p, QString& error);
    /// Takes over the journal of an interrupted run to resume it: locks it, reads it and cuts
    /// off a partial last entry. Null, with `error` saying why, when another program holds it
    /// or it does not read back; the file is then left as it was.
    static std::unique_ptr<RunJournal> open(const QString& path, Platform& p, QString& error);
    /// The journals in `folder` that no running program holds, newest first.
    static QStringList interrupted(const QString& folder);

    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    /// Appends one entry with one write through the platform's file system. It reaches the
    /// disk with the next sync, which starts when a second has passed on the platform's clock
    /// since the last one and runs beside the run, on a thread of its own. Returns why a write
    /// failed ("PATH: REASON"), else nothing; after a failed write the journal takes no more
    /// entries, so it still ends on whole ones.
    QString append(const JournalEntry& entry);
    /// Deletes the file: the run has ended.
    void remove();

    const QString& path() const { return path_; }
    /// What open() read back; for a new journal its header and no entries.
    const JournalContents& contents() const { return contents_; }
    /// How often entries were forced to the disk.
    int syncs() const { return syncs_; }

private:
    RunJournal(int fd, QString path, Platform& p);

    int fd_;
    QString path_;
    Platform& platform_;
    JournalContents contents_;
    QDateTime lastSync_;
    std::future<void> pendingSync_;
    int syncs_ = 0;
    bool broken_ = false;
};

} // namespace tarnwick
