#pragma once

#include <QString>

namespace tarnwick {

/// The page-and-link component's line cleaning: `text` without any of the characters of
/// `remove` (the file commands pass CR LF, so every CR and LF goes). `mode` is unused.
QString CleanLine(const QString& text, const QString& remove = QStringLiteral("\r\n"), int mode = 0);

} // namespace tarnwick
