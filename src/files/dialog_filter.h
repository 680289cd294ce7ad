#pragma once

#include <QString>

namespace tarnwick {

/// A dialog filter in the window's "Description (*.ext)|*.ext" form, as Qt's file dialogs
/// take it: "Keywords (*.kwrds)|*.kwrds" gives "Keywords (*.kwrds)"; several pairs are
/// joined by ";;". A description without a bracketed pattern at its end gets the pattern
/// added in brackets, since Qt reads the patterns from there.
QString qtFilterFrom(const QString& filter);

/// The extension a save dialog adds to a name typed without one, from one of Qt's filter
/// entries: "kwrds" for "Keywords (*.kwrds)"; empty for a pattern without a plain extension
/// ("All files (*)").
QString filterExtension(const QString& qtFilterEntry);

/// The filter of an Open dialog: the command's own first, then "All files (*)", so a file
/// saved without its extension (names are used as typed) can still be found.
QString qtOpenFilterFrom(const QString& filter);

} // namespace tarnwick
