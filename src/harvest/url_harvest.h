#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// The "Go!" button: harvests result URLs for every keyword into the URL list.
/// Search bases come from searchPattern (TARNWICK_SEARCH_BASE, TARNWICK_SEARCH_BASE_UK).
void Command1_Click(Form1& f, Platform& p);

/// Ticks of 250 ms one wait between result pages lasts for a draw `r` in [0, 1): 20 to 60.
int waitTicks(double r);

} // namespace tarnwick
