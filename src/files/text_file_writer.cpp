#include "files/text_file_writer.h"

#include <QSaveFile>

namespace tarnwick {

SaveResult saveTextFile(const QString& path, const QString& text)
{
    SaveResult result;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.reason = file.errorString();
        return result;
    }
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        result.reason = file.errorString();
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.reason = file.errorString();
        return result;
    }
    result.saved = true;
    return result;
}

} // namespace tarnwick
