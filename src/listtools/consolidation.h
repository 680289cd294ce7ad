#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// "Consolidate URL list": accepted URLs followed by those after the stop point.
void Command6_Click(Form1& f);

} // namespace tarnwick
