#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace tarnwick {

/// The most a list or text file may hold; a bigger file is refused whole, so that no open
/// command holds more than a few hundred megabytes while it reads.
inline constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

/// Text of a file's bytes. A byte-order mark decides first: UTF-16 (little or big endian) or
/// UTF-32 with theirs; then UTF-8 when the bytes are valid UTF-8, else Windows-1252 (files
/// written by older tools in the system code page). A UTF-8 byte-order mark is dropped.
QString decodeFileText(const QByteArray& bytes);

/// Walks a text line by line. A line ends at CR LF, a lone CR or a lone LF; the break is not
/// part of the line; a last line without a break is a line too, and a final break does not
/// start another (empty) line.
class LineSplitter {
public:
    explicit LineSplitter(QStringView text)
        : text_(text)
    {
    }
    /// The next line into `line`; false at the end of the text.
    bool next(QStringView& line);

private:
    QStringView text_;
    qsizetype pos_ = 0;
};

/// Why a decoded text is not text but some other kind of file (an image, an archive, a
/// program): it holds a NUL character, or more than one character in ten is a control
/// character other than tab, line feed, form feed and carriage return, or a byte that no
/// encoding could read. Empty for text. Every encoding Tarnwick reads gives a text file
/// without NUL, so this never refuses one; a UTF-16 file with its byte-order mark decodes
/// to text and passes.
QString notTextReason(QStringView text);

/// The result of reading a whole file: its decoded text, or what went wrong.
struct TextFileRead {
    enum class Failure { None, Open, Read, NotText };
    Failure failure = Failure::None;
    QString reason;
    QString text;
    bool ok() const { return failure == Failure::None; }
};

/// Reads and decodes the whole file at `path`. Nothing is returned as text when the file
/// cannot be opened, is not a regular file (a folder, a pipe, a device), holds more than
/// kMaxFileBytes, a read fails part-way, or it is not text (notTextReason), so callers
/// never see half a file or a binary one. Never waits for a writer.
TextFileRead readTextFile(const QString& path);

} // namespace tarnwick
