#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// The "Go!" button: harvests result URLs for every keyword into the URL list.
void Command1_Click(Form1& f, Platform& p);

}  // namespace tarnwick
