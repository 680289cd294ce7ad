#include "files/text_file_reader.h"

#include <QFile>
#include <QStringDecoder>

namespace tarnwick {

QString decodeFileText(const QByteArray& bytes)
{
    QByteArrayView body(bytes);
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

TextFileRead readTextFile(const QString& path)
{
    TextFileRead result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.failure = TextFileRead::Failure::Open;
        result.reason = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.failure = TextFileRead::Failure::Read;
        result.reason = file.errorString();
        return result;
    }
    result.text = decodeFileText(bytes);
    return result;
}

} // namespace tarnwick
