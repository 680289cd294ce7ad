#include "pages/sitemap.h"

#include "app/form1.h"
#include "app/platform.h"
#include "pages/page_writer.h"
#include "pages/sitemap_xml.h"
#include "pages/template_fill.h"

#include <utility>

namespace tarnwick {

PageWrite writeSitemaps(
    Form1& f, Platform& p, const QString& links, const QStringList& pageFiles, const QDate& date)
{
    QString block = fontBlock(f, links);
    block.replace(QStringLiteral("\r\n"), QStringLiteral("<br>\r\n"));
    const QString heading = f.Text11.Text() + QStringLiteral("...");
    const QString html = fillTemplate(f.RichTextBox2.Text(), { heading, heading, block });
    const QString name = f.Text10.Text() + QStringLiteral(".html");
    const PageWrite written = writeGeneratedPage(f, p, outputPath(f, p, name), html);
    return written == PageWrite::Written ? writeSitemapXml(f, p, pageFiles, name, date) : written;
}

void createsitemap(Form1& f, Platform& p)
{
    if (!p.DoEvents())
        return;
    const QString entries = f.Text15.Text();
    f.Text15.setText({});
    const QStringList pageFiles = std::exchange(f.pageFiles, {});
    // A resumed run keeps the start of the run it resumes, so its sitemap.xml is dated alike.
    const QDate date = (f.runStarted.isValid() ? f.runStarted : p.now()).toLocalTime().date();
    // A sitemap that could not be written leaves the list as a stopped run leaves it.
    if (writeSitemaps(f, p, entries, pageFiles, date) == PageWrite::Failed) {
        f.Text15.setText(entries);
        f.pageFiles = pageFiles;
    }
}

} // namespace tarnwick
