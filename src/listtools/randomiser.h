#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// A uniform whole number over low to high inclusive: floor(Rnd * (high - low + 1)) + low.
int Rand(Platform& p, int low, int high);

/// "Randomize list": reorders the URL list by a partial shuffle.
void Command4_Click(Form1& f, Platform& p);

} // namespace tarnwick
