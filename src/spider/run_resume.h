#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;
struct JournalContents;

/// "A spider run was interrupted at URL 50 of 200 (started DATE, list FILE). Resume it?"
QString resumeQuestion(const JournalContents& contents);

/// At start-up: offers the newest interrupted spider run of this program's folder. Yes
/// resumes it; No asks again before deleting its journal. A journal that cannot be resumed
/// is said so, with the offer to delete it.
void offerInterruptedRun(Form1& f, Platform& p);

} // namespace tarnwick
