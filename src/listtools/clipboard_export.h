#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// Spider data as CSV: one row per record, one field per line of the record, a field with a
/// comma or a double quote quoted (quotes doubled), every row ended by CR LF. A field that
/// begins with "=", "+", "-", "@", a tab or a CR gets a leading apostrophe, so that a
/// spreadsheet shows it as text instead of running it as a formula.
QString spiderDataToCsv(const QString& spiderData);

/// "Add to clipboard": spider data as text, one line of HTML, or CSV.
void Command5_Click(Form1& f, Platform& p);

} // namespace tarnwick
