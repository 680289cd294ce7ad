#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// "Randomize list": reorders the URL list by a partial shuffle.
void Command4_Click(Form1& f, Platform& p);

}  // namespace tarnwick
