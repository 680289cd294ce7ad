#pragma once

namespace tarnwick {

class Form1;
class Platform;

/// Spider > Save Run Report: what became of each URL of the last spider run, as CSV in a
/// file the user chooses, the file the command line's --report writes.
void mnuSaveRunReport_Click(Form1& f, Platform& p);

} // namespace tarnwick
