#include "pages/page_writer.h"

#include "app/app_path.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/small_handlers.h"
#include "files/text_file_writer.h"

namespace tarnwick {

PageWrite writeGeneratedPage(Form1& f, Platform& p, const QString& path, const QString& text)
{
    if (!p.DoEvents())
        return PageWrite::WindowClosed;
    // The byte-order mark tells a browser the page is UTF-8 even when the server that
    // publishes it sends a bare "text/html"; it outranks both the header and any meta tag.
    const SaveResult result = saveTextFile(
        p.fileSystem(), path, QChar(0xFEFF) + text + QStringLiteral("\r\n"), Durability::NoSync);
    return result.ok() ? PageWrite::Written : pageNotWritten(f, path, result.reason);
}

PageWrite pageNotWritten(Form1& f, const QString& path, const QString& reason)
{
    // A disk that takes no page now will take none of the rest of the list either; going on
    // would spend the user's hour on pages that are never written.
    if (f.pageFailure.isEmpty())
        f.pageFailure = notSavedMessage(path, reason);
    mnuStopAll_Click(f);
    return PageWrite::Failed;
}

QString outputPath(const Form1& f, Platform& p, const QString& name)
{
    return AppPath(p) + f.Text8.Text() + QLatin1Char('/') + name;
}

QString fontBlock(const Form1& f, const QString& inner)
{
    return QStringLiteral("<font face=\"") + f.Combo6.Text() + QStringLiteral("\" size=\"") + f.Combo7.Text()
        + QStringLiteral("\"><br>") + inner + QStringLiteral("<br></font>");
}

} // namespace tarnwick
