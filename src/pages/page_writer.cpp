#include "pages/page_writer.h"

#include "app/form1.h"
#include "app/platform.h"
#include "files/text_file_writer.h"

namespace tarnwick {

bool writeGeneratedPage(Form1& f, Platform& p, const QString& path, const QString& text)
{
    if (!p.DoEvents())
        return false;
    // The byte-order mark tells a browser the page is UTF-8 even when the server that
    // publishes it sends a bare "text/html"; it outranks both the header and any meta tag.
    if (!saveTextFile(path, QChar(0xFEFF) + text + QStringLiteral("\r\n")).ok())
        f.failedFiles.append(path);
    return true;
}

QString fontBlock(const Form1& f, const QString& inner)
{
    return QStringLiteral("<font face=\"") + f.Combo6.Text() + QStringLiteral("\" size=\"") + f.Combo7.Text()
        + QStringLiteral("\"><br>") + inner + QStringLiteral("<br></font>");
}

} // namespace tarnwick
