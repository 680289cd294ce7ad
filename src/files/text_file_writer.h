#pragma once

#include <QString>

namespace tarnwick {

/// The outcome of a save: ok, or the reason the system gave.
struct SaveResult {
    bool saved = false;
    QString reason;
    bool ok() const { return saved; }
};

/// Writes `text` as UTF-8 (no byte-order mark) to a temporary file beside `path` and renames
/// it over `path`, so a failed save leaves any old file whole and never a partial one.
SaveResult saveTextFile(const QString& path, const QString& text);

} // namespace tarnwick
