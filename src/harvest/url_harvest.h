#pragma once

#include <QList>
#include <QString>

namespace tarnwick {

class Form1;
class Platform;
struct LinkRecord;

/// Whether a harvest goes on after a step.
enum class HarvestFlow { Go, End };
/// Whether the keyword being harvested has a page after the one just read.
enum class NextPage { No, Yes };

/// The "Go!" button: harvests result URLs for every keyword into the URL list.
/// Search bases come from searchPattern (TARNWICK_SEARCH_BASE, TARNWICK_SEARCH_BASE_UK).
void Command1_Click(Form1& f, Platform& p);

/// Adds result addresses to the URL list: site roots, or full addresses with Check1 ticked;
/// one that FindListEntry finds listed is left out. End when the window went away.
HarvestFlow addLinks(Form1& f, Platform& p, const QList<LinkRecord>& links);
/// Notes for the status strip what the request after the coming wait is for: the next page,
/// else the next keyword, else nothing (the run ends).
void expectNext(Form1& f, NextPage next);
/// The wait between result pages, 5 to 15 s while Label4 blinks. End when Stop All was
/// chosen ("Stopped!" shown) or the window went away.
HarvestFlow waitBetweenPages(Form1& f, Platform& p);

/// Ticks of 250 ms one wait between result pages lasts for a draw `r` in [0, 1): 20 to 60.
int waitTicks(double r);

} // namespace tarnwick
