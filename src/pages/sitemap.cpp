#include "pages/sitemap.h"

#include "app/app_path.h"
#include "app/form1.h"
#include "app/platform.h"
#include "pages/page_writer.h"
#include "pages/sitemap_xml.h"
#include "pages/template_fill.h"

#include <utility>

namespace tarnwick {

void createsitemap(Form1& f, Platform& p)
{
    if (!p.DoEvents())
        return;
    QString links = fontBlock(f, f.Text15.Text());
    links.replace(QStringLiteral("\r\n"), QStringLiteral("<br>\r\n"));
    const QString heading = f.Text11.Text() + QStringLiteral("...");
    const QString html = fillTemplate(f.RichTextBox2.Text(), { heading, heading, links });
    const QString entries = f.Text15.Text();
    f.Text15.setText({});
    const QStringList pageFiles = std::exchange(f.pageFiles, {});

    const QString name = f.Text10.Text() + QStringLiteral(".html");
    const QString path = AppPath(p) + f.Text8.Text() + QLatin1Char('/') + name;
    PageWrite written = writeGeneratedPage(f, p, path, html);
    if (written == PageWrite::Written)
        written = writeSitemapXml(f, p, pageFiles, name);
    // A sitemap that could not be written leaves the list as a stopped run leaves it.
    if (written == PageWrite::Failed) {
        f.Text15.setText(entries);
        f.pageFiles = pageFiles;
    }
}

} // namespace tarnwick
