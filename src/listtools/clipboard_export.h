#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// "Add to clipboard": spider data as text, one line of HTML, or CSV.
void Command5_Click(Form1& f, Platform& p);

}  // namespace tarnwick
