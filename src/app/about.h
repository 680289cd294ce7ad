#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// The About text: version, the Qt the program was built with, and where the README and
/// the run journal are.
QString aboutText(Platform& p);

/// Help > "About Tarnwick": shows aboutText.
void mnuAbout_Click(Form1& f, Platform& p);

} // namespace tarnwick
