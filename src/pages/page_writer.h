#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// Creates (or empties) `path`, lets pending events run, then writes `text` and CR LF as
/// UTF-8. A file that cannot be written is added to f.failedFiles so the run's end can name
/// it. False only when the window was unloaded during the event pass: the caller then ends.
[[nodiscard]] bool writeGeneratedPage(Form1& f, Platform& p, const QString& path, const QString& text);

/// The "<font ...><br>" ... "<br></font>" frame round the results or the sitemap links.
QString fontBlock(const Form1& f, const QString& inner);

} // namespace tarnwick
