#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// Spider data as CSV: one row per record, one field per line of the record, a field with a
/// comma or a double quote quoted (quotes doubled), every row ended by CR LF.
QString spiderDataToCsv(const QString& spiderData);

/// "Add to clipboard": spider data as text, one line of HTML, or CSV.
void Command5_Click(Form1& f, Platform& p);

} // namespace tarnwick
