#include "spider/run_resume.h"

#include "app/platform.h"
#include "app/state_folder.h"
#include "spider/run_journal.h"
#include "spider/spider_run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace tarnwick {

QString resumeQuestion(const JournalContents& contents)
{
    const JournalHeader& header = contents.header;
    const int total = static_cast<int>(header.urls.size());
    const QString list = header.listFile.isEmpty()
        ? QStringLiteral("list not saved")
        : QStringLiteral("list ") + QFileInfo(header.listFile).fileName();
    return QStringLiteral("A spider run was interrupted at URL %1 of %2 (started %3, %4). Resume it?")
        .arg(std::min(contents.nextIndex() + 1, total))
        .arg(total)
        .arg(header.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm")), list);
}

void offerInterruptedRun(Form1& f, Platform& p)
{
    const QString home = QDir::cleanPath(p.programFolder());
    for (const QString& path : RunJournal::interrupted(stateFolder())) {
        QString error;
        std::unique_ptr<RunJournal> journal = RunJournal::open(path, p, error);
        if (!journal) {
            if (p.askYesNo(error + QStringLiteral(" Delete it?")))
                QFile::remove(path);
            return;
        }
        // A run of tarnwick-cli with another --home writes its pages there; it resumes there.
        if (QDir::cleanPath(journal->contents().header.home) != home)
            continue;
        if (p.askYesNo(resumeQuestion(journal->contents()))) {
            resumeSpiderRun(f, p, std::move(journal));
            return;
        }
        if (p.askYesNo(QStringLiteral("Delete the journal of the interrupted run? It cannot be resumed "
                                      "afterwards.")))
            journal->remove();
        return;
    }
}

} // namespace tarnwick
