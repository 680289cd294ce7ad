#pragma once

#include <QString>

namespace tarnwick {

class Form1;

/// The word-list title filter over Text5 (must-contain part, optionally " -" and a
/// must-not-contain part) and Check8 ("or"); the title comes in Text17, which it empties.
/// 1 keeps the page, 0 drops it.
int theflag(Form1& f);

/// The whole title filter of a spider run: an empty filter keeps nothing, one made only of
/// spaces keeps every title, one holding "-" or "," goes through theflag, and any other
/// must occur in the title (spaces included, letter case ignored).
bool keepsTitle(Form1& f, const QString& title);

} // namespace tarnwick
