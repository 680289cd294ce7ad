#include "pages/page_writer.h"

#include "app/form1.h"
#include "app/platform.h"

#include <QFile>

namespace tarnwick {

bool writeGeneratedPage(Form1& f, Platform& p, const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.failedFiles.append(path);
        return true;
    }
    if (!p.DoEvents())
        return false;
    const QByteArray bytes = (text + QStringLiteral("\r\n")).toUtf8();
    if (file.write(bytes) != bytes.size() || !file.flush())
        f.failedFiles.append(path);
    file.close();
    return true;
}

QString fontBlock(const Form1& f, const QString& inner)
{
    return QStringLiteral("<font face=\"") + f.Combo6.Text() + QStringLiteral("\" size=\"") + f.Combo7.Text()
        + QStringLiteral("\"><br>") + inner + QStringLiteral("<br></font>");
}

} // namespace tarnwick
