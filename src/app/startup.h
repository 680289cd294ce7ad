#pragma once

#include <QString>

namespace tarnwick {

class Form1;

/// The template pane's text at start-up: 17 lines joined by CR LF, no final line break.
QString defaultTemplate();

/// Start-up: fills the combo boxes, the backlink list, the template pane and the
/// disclaimer, and shows the spider panel. Runs once, before the window is first shown.
void Form_Load(Form1& f);

} // namespace tarnwick
