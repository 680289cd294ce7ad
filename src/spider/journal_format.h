#pragma once

#include "spider/run_report.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <vector>

namespace tarnwick {

// The run journal: what a spider run has done, appended as it goes, so that a run killed by
// a crash, a power cut or the out-of-memory killer resumes where it was instead of being lost.
//
// The file that holds them is run_journal.h's. UTF-8 text, one entry per line:
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
/// `body` (escaped fields, TAB between) with its check and LF: a line as any writer leaves it.
QByteArray sealedLine(const QByteArray& body);
/// Reads a whole journal file. A cut-off or corrupt last line is left out; anything else
/// that does not read back, or another version, gives an error and no contents.
JournalReading readJournal(const QByteArray& bytes);

} // namespace tarnwick
