#pragma once

#include <QString>

#include <memory>

namespace tarnwick {

class Form1;
class Platform;
class RunJournal;

/// The most requests a spider run keeps in flight.
inline constexpr int kMaxParallelRequests = 16;

/// Requests a spider run keeps in flight: the parallel requests box (Combo8) as a whole
/// number from 1 to kMaxParallelRequests.
int parallelRequests(const Form1& f);
/// True when `dirPath` names an existing directory; any failure gives false.
bool DirExists(const QString& dirPath);
/// "Set Tarnwick loose!": checks the inputs, then spiders the whole URL list.
void Command3_Click(Form1& f, Platform& p);
/// Resumes the interrupted run `journal` holds (spider/run_journal.h): puts back its URL list,
/// settings, spider data, accepted URLs, counters and report, then spiders on from its first
/// URL without an outcome, appending to the same journal.
void resumeSpiderRun(Form1& f, Platform& p, std::unique_ptr<RunJournal> journal);

} // namespace tarnwick
