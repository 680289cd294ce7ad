#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// The manual: the README beside the program (an unpacked folder), where the package installs
/// it, or in the tree the program was built from; empty when none of them is there.
QString manualPath();
/// Where the package installs the manual; named when it is found nowhere.
QString installedManualPath();

/// The About text: version, the Qt the program was built with, and where the README and
/// the run journal are.
QString aboutText(Platform& p);

/// Help > "About Tarnwick": shows aboutText.
void mnuAbout_Click(Form1& f, Platform& p);

} // namespace tarnwick
