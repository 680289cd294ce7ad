#pragma once

namespace tarnwick {

class Form1;
class Platform;

/// The set-loose command's input checks, in order; with "Create pages:" ticked also the
/// page names, the site address, the template and the output directory, which it creates. On a problem it
/// shows one message, focuses the control and returns false.
bool checkSpiderInputs(Form1& f, Platform& p);
/// The part of them that concerns the pages, shared with publishing saved spider data: the
/// page names, the heading, the site address and the template, in the run's order; then it
/// makes the output folder, refusing one that exists. Same messages, focus and result.
bool checkPageSettings(Form1& f, Platform& p);

} // namespace tarnwick
