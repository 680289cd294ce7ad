#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// What became of a generated page: written, not written (the run is stopped), or not tried
/// because the window was closed meanwhile.
enum class PageWrite { Written, Failed, WindowClosed };

/// Lets pending events run, then writes a UTF-8 byte-order mark, `text` and CR LF to `path`
/// through a temporary file beside it, so a failed write leaves any earlier file whole. A
/// file that cannot be written ends the spider run as Stop All does, and f.pageFailure says
/// which file and why. Nothing is written when the window was unloaded during the event pass;
/// the caller then ends.
[[nodiscard]] PageWrite writeGeneratedPage(Form1& f, Platform& p, const QString& path, const QString& text);

/// Records that the generated file `path` could not be written and why, and ends the spider
/// run as Stop All does; always PageWrite::Failed.
PageWrite pageNotWritten(Form1& f, const QString& path, const QString& reason);

/// Where the file `name` of the output folder goes: the program's folder, the directory
/// name (Text8), then the name.
QString outputPath(const Form1& f, Platform& p, const QString& name);

/// The "<font ...><br>" ... "<br></font>" frame round the results or the sitemap links.
QString fontBlock(const Form1& f, const QString& inner);

} // namespace tarnwick
