#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// Enter (13) in the seed box starts a suggestion lookup; every other key is left to the box.
void Text1_KeyPress(Form1& f, Platform& p, int& keyAscii);
/// The add button: appends " - " and the seed to the keyword list.
void Command2_Click(Form1& f, Platform& p);

} // namespace tarnwick
