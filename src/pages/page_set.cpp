#include "pages/page_set.h"

#include "app/app_path.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/text_ops.h"
#include "pages/page_writer.h"
#include "pages/results_page.h"
#include "pages/sitemap.h"

#include <algorithm>

namespace tarnwick {

namespace {

QString counted(qsizetype n, const char* one, const char* many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

QString writtenMessage(qsizetype records, qsizetype perPage, const QString& folder)
{
    const qsizetype full = records / perPage;
    const qsizetype left = records % perPage;
    QString pages;
    if (full > 0)
        pages = counted(full, "page", "pages") + QStringLiteral(" of %1, ").arg(perPage);
    if (left > 0)
        pages += full > 0 ? QStringLiteral("a last page of the %1 left over, ").arg(left)
                          : QStringLiteral("one page of %1, ").arg(counted(left, "record", "records"));
    QString message = QStringLiteral("Pages created from %1: %2and the sitemap, in %3.")
                          .arg(counted(records, "record", "records"), pages, folder);
    // A run would have left these in the spider data; here the user asked for all of them.
    if (left > 0)
        message += QStringLiteral(" Every record is published, though a run leaves those short of a full "
                                  "page in the spider data.");
    return message;
}

Publishing fromPageWrite(PageWrite written)
{
    switch (written) {
    case PageWrite::Written: return Publishing::Written;
    case PageWrite::Failed: return Publishing::Failed;
    case PageWrite::WindowClosed: return Publishing::WindowClosed;
    }
    return Publishing::Failed;
}

/// Says how it ended, as a run says it: a page that could not be written stops it.
Publishing ended(Form1& f, Platform& p, Publishing how, const QString& written)
{
    if (how == Publishing::WindowClosed)
        return how;
    f.setCaption(QStringLiteral("Tarnwick"));
    if (how == Publishing::Written)
        p.MsgBox(written);
    else
        p.MsgBox(f.pageFailure.isEmpty() ? QStringLiteral("Stopped!")
                                         : QStringLiteral("Stopped! ") + f.pageFailure);
    return how;
}

} // namespace

Publishing writePageSet(Form1& f, Platform& p, const std::vector<PageRecord>& records, int perPage)
{
    ActivityScope scope(f, Activity::Publish);
    f.pageFailure.clear();
    f.Label3.setCaption(QStringLiteral("1"));
    const auto count = static_cast<qsizetype>(records.size());
    const qsizetype pages = (count + perPage - 1) / perPage;
    const QString written = writtenMessage(count, perPage, AppPath(p) + f.Text8.Text());
    QString links;
    QStringList files;
    for (qsizetype first = 0; first < count; first += perPage) {
        const qsizetype end = std::min<qsizetype>(count, first + perPage);
        // The steps of createpage in its order, so a page draws its credit link as a run's does.
        const int anchor = creditAnchor(f, p);
        if (!p.DoEvents())
            return Publishing::WindowClosed;
        f.setCaption(QStringLiteral("Tarnwick - Writing page %1 of %2").arg(first / perPage + 1).arg(pages));
        const QString& lead = records[static_cast<std::size_t>(first)].title;
        const QString title = pageTitle(f, lead.isEmpty() ? f.Text11.Text() : lead);
        QString text;
        for (qsizetype i = first; i < end; ++i)
            text += records[static_cast<std::size_t>(i)].text;
        const QString number = numText(end);
        const QString html = resultsPageHtml(f, text, title, number, anchor);
        const QString name = pageName(f, number);
        addSitemapLink(f, name, links, files);
        const PageWrite page
            = writeGeneratedPage(f, p, outputPath(f, p, name + QStringLiteral(".html")), html);
        if (page != PageWrite::Written)
            return ended(f, p, fromPageWrite(page), written);
        if (f.Label3.Caption() == QLatin1String("0"))
            return ended(f, p, Publishing::Stopped, written);
    }
    if (!p.DoEvents())
        return Publishing::WindowClosed;
    return ended(
        f, p, fromPageWrite(writeSitemaps(f, p, links, files, p.now().toLocalTime().date())), written);
}

} // namespace tarnwick
