#include "files/text_file_reader.h"

#include "app/interrupted.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

QString decodeFileText(const QByteArray& bytes)
{
    QByteArrayView body(bytes);
    const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(body);
    if (marked && *marked != QStringConverter::Utf8) {
        // The decoder drops the mark; a cut-off last character becomes a replacement character.
        QStringDecoder decoder(*marked, QStringConverter::Flag::Stateless);
        return decoder.decode(body);
    }
    if (body.startsWith("\xEF\xBB\xBF"))
        body = body.sliced(3);

    // Stateless, so a sequence cut off at the end of the file counts as invalid too.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;

    QStringDecoder codePage("windows-1252", QStringConverter::Flag::Stateless);
    if (codePage.isValid())
        return codePage.decode(body);
    return QString::fromLatin1(body.data(), body.size());
}

QString notTextReason(QStringView text)
{
    qsizetype unreadable = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0)
            return QStringLiteral("Not a text file (it holds NUL bytes)");
        const bool control
            = (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\f' && u != u'\r') || (u >= 0x7F && u <= 0x9F);
        if (control || u == QChar::ReplacementCharacter)
            ++unreadable;
    }
    // A few stray control characters (an escape in a pasted line) leave a file usable; random
    // bytes without a NUL are still one character in eight a control character.
    if (unreadable * 10 > text.size())
        return QStringLiteral("Not a text file (more than one character in ten is a control character or "
                              "cannot be decoded)");
    return {};
}

bool LineSplitter::next(QStringView& line)
{
    const qsizetype size = text_.size();
    if (pos_ >= size)
        return false;
    qsizetype end = pos_;
    while (end < size && text_[end] != QLatin1Char('\r') && text_[end] != QLatin1Char('\n'))
        ++end;
    line = text_.sliced(pos_, end - pos_);
    if (end < size && text_[end] == QLatin1Char('\r') && end + 1 < size
        && text_[end + 1] == QLatin1Char('\n'))
        pos_ = end + 2;
    else
        pos_ = end + 1;
    return true;
}

namespace {

/// Closes the descriptor when the read ends, whichever way.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

TextFileRead failed(TextFileRead::Failure failure, const QString& reason)
{
    TextFileRead result;
    result.failure = failure;
    result.reason = reason;
    return result;
}

const QString kTooLarge = QStringLiteral("Larger than 64 MiB");

} // namespace

TextFileRead readTextFile(const QString& path)
{
    using Failure = TextFileRead::Failure;
    // Opened without waiting, then asked what it is: a pipe would block the open until a
    // writer came, and a device such as /dev/zero never ends.
    const Descriptor file { ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) };
    if (file.fd < 0)
        return failed(Failure::Open, qt_error_string(errno));
    struct stat info { };
    if (::fstat(file.fd, &info) != 0)
        return failed(Failure::Open, qt_error_string(errno));
    if (S_ISDIR(info.st_mode))
        return failed(Failure::Open, QStringLiteral("Is a folder"));
    if (!S_ISREG(info.st_mode))
        return failed(Failure::Open, QStringLiteral("Not a regular file"));
    if (info.st_size > kMaxFileBytes)
        return failed(Failure::Open, kTooLarge);
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);

    // Files under /proc and the like give no size, so the cap is kept while reading too.
    QByteArray bytes;
    constexpr qsizetype kChunk = 1 << 20;
    for (;;) {
        const qsizetype have = bytes.size();
        bytes.resize(have + kChunk);
        const ssize_t got = retryInterrupted([&] { return ::read(file.fd, bytes.data() + have, kChunk); });
        bytes.resize(have + std::max<ssize_t>(got, 0));
        if (got < 0)
            return failed(Failure::Read, qt_error_string(errno));
        if (got == 0)
            break;
        if (bytes.size() > kMaxFileBytes)
            return failed(Failure::Read, kTooLarge);
    }
    TextFileRead result;
    result.text = decodeFileText(bytes);
    if (QString reason = notTextReason(result.text); !reason.isEmpty())
        return failed(Failure::NotText, reason);
    return result;
}

} // namespace tarnwick
