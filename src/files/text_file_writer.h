#pragma once

#include <QByteArray>
#include <QString>

namespace tarnwick {

class FileSystem;

/// The outcome of a save: ok, or the reason the system gave.
struct SaveResult {
    bool saved = false;
    QString reason;
    bool ok() const { return saved; }
};

/// "File PATH could not be saved: REASON", the words every failed save is reported in.
QString notSavedMessage(const QString& path, const QString& reason);

/// How far a save goes to outlast a power cut.
enum class Durability {
    /// The file and its folder entry are on the disk before the save reports success, so a
    /// power cut leaves the old file or the new one: the files the user saves by command.
    Sync,
    /// Left to the system's cache: the pages a run writes by the hundred, and their sitemap.
    NoSync,
};

/// Writes `bytes` to a new temporary file beside `path`, checking every write, and renames it
/// over `path` (over the file a symbolic link names, for a link). On any failure it removes
/// the temporary file, so `path` stays byte for byte as it was, and gives the reason.
SaveResult saveFile(FileSystem& fs, const QString& path, const QByteArray& bytes, Durability durability);
/// saveFile of `text` as UTF-8, without a byte-order mark.
SaveResult saveTextFile(FileSystem& fs, const QString& path, const QString& text, Durability durability);

} // namespace tarnwick
