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
/// Requests a spider run keeps in flight to one host: the box under it (Combo10), 1 to
/// kMaxParallelRequests; kDefaultRequestsPerHost when it holds no whole number, which the
/// set-loose checks refuse (a resumed run is not checked again).
int requestsPerHost(const Form1& f);
/// Two at once is what a browser's first page view asks of a site: polite to a stranger's
/// server, and what runs have always done.
inline constexpr int kDefaultRequestsPerHost = 2;
/// True when `dirPath` names an existing directory; any failure gives false.
bool DirExists(const QString& dirPath);
/// "Set Tarnwick loose!": checks the inputs, then spiders the whole URL list.
void Command3_Click(Form1& f, Platform& p);
/// Resumes the interrupted run `journal` holds (spider/run_journal.h): puts back its URL list,
/// settings, spider data, accepted URLs, counters and report, then spiders on from its first
/// URL without an outcome, appending to the same journal.
void resumeSpiderRun(Form1& f, Platform& p, std::unique_ptr<RunJournal> journal);

} // namespace tarnwick
