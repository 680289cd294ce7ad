#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// Lets pending events run, then writes a UTF-8 byte-order mark, `text` and CR LF to `path`
/// through a temporary file beside it, so an interrupted or failed write leaves any earlier
/// file whole. A file that cannot be written is added to f.failedFiles so the run's end can
/// name it. False only when the window was unloaded during the event pass: nothing is written
/// and the caller ends.
[[nodiscard]] bool writeGeneratedPage(Form1& f, Platform& p, const QString& path, const QString& text);

/// The "<font ...><br>" ... "<br></font>" frame round the results or the sitemap links.
QString fontBlock(const Form1& f, const QString& inner);

} // namespace tarnwick
