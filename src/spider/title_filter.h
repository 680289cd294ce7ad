#pragma once

namespace tarnwick {

class Form1;

/// The word-list title filter over Text5 (must-contain part, optionally " -" and a
/// must-not-contain part) and Check8 ("or"); the title comes in Text17, which it empties.
/// 1 keeps the page, 0 drops it.
int theflag(Form1& f);

} // namespace tarnwick
