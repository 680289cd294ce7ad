#pragma once

namespace tarnwick {

class Form1;
class Platform;

/// The set-loose command's input checks, in order; with "Create pages:" ticked also the
/// page names, the site address, the template and the output directory, which it creates. On a problem it
/// shows one message, focuses the control and returns false.
bool checkSpiderInputs(Form1& f, Platform& p);

} // namespace tarnwick
