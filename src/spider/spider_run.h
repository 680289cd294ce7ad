#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// True when `dirPath` names an existing directory; any failure gives false.
bool DirExists(const QString& dirPath);
/// "Set Tarnwick loose!": checks the inputs, then spiders the whole URL list.
void Command3_Click(Form1& f, Platform& p);

} // namespace tarnwick
