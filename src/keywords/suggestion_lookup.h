#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

class Form1;
class Platform;
struct KeywordSource;

/// The lookup against a source that has a reader: one request for the seed (or, with
/// Form1::seedExpansion on, one for the seed and one for each of its expansions, 1 to 3 s
/// apart), each completion appended as "N - completion", N its place in the whole list, the count
/// caption following every row.
/// Completions already listed (ignoring case) are dropped. A refusal ends the lookup with
/// its one message; entries gathered before it stay.
void lookUpSuggestions(Form1& f, Platform& p, const KeywordSource& source);

/// The seed followed by the seed with " a" to " z" and " 0" to " 9" appended.
QStringList expandedSeeds(const QString& seed);

/// Ticks of 250 ms one pause between expansion requests lasts for a draw `r` in [0, 1): 4 to 12.
int pauseTicks(double r);

} // namespace tarnwick
