#pragma once

#include "spider/journal_format.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <future>
#include <memory>

namespace tarnwick {

class Platform;

// The run journal's file: one per run, "<start>-<pid>.journal" in the state folder
// (app/state_folder.h), held with an exclusive flock() by the program that writes or resumes
// it, and deleted when the run ends, completed or stopped. Its lines are journal_format.h's.

/// Whether a spider run keeps a journal. Only the throughput benchmark turns it off, to
/// measure what the journal costs.
enum class RunJournaling { On, Off };

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
