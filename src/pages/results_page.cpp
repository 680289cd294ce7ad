#include "pages/results_page.h"

#include "app/app_path.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/text_ops.h"
#include "app/url_encoding.h"
#include "pages/page_writer.h"
#include "pages/template_fill.h"

#include <cmath>

namespace tarnwick {

namespace {

/// The first four pieces of the title split at single spaces; an empty piece between two
/// spaces counts as one of the four.
QString shortTitle(const QString& title)
{
    const QStringList pieces = title.split(QLatin1Char(' '));
    QString kept;
    for (qsizetype k = 0; k < pieces.size() && k < 4; ++k)
        kept += pieces.at(k) + QLatin1Char(' ');
    return trimSpaces(kept);
}

/// Puts `credit` before the closing body tag: the exact spellings first, then any case.
QString withCredit(QString html, const QString& credit)
{
    for (const QString& tag :
        { QStringLiteral("</body>"), QStringLiteral("</Body>"), QStringLiteral("</BODY>") }) {
        if (html.contains(tag))
            return html.replace(tag, credit + tag);
    }
    return replaceNoCase(html, QStringLiteral("</body>"), credit + QStringLiteral("</body>"));
}

} // namespace

void createpage(Form1& f, Platform& p)
{
    p.Randomize();
    const double r = p.Rnd();
    const int n = f.List6.ListCount();
    int anchor = static_cast<int>(std::floor(r * n));
    if (anchor == 0)
        anchor = 1;
    if (!p.DoEvents())
        return;

    f.Text14.setText(shortTitle(f.Text14.Text()));
    const QString title = f.Text14.Text();

    const QString records = f.RichTextBox1.Text();
    QString data = records;
    data.replace(QStringLiteral("\r\n"), QStringLiteral("<br>\r\n"));
    QString html
        = fillTemplate(f.RichTextBox2.Text(), { title, title + QStringLiteral(" ..."), fontBlock(f, data) });

    const double position = Val(f.Text13.Text());
    if (position > 20 && position < 30) {
        const QString site = n > 0 ? f.List6.List(0) : QString();
        const QString phrase = anchor < n ? f.List6.List(anchor) : QString();
        const QString credit = QStringLiteral("<p><center><font size=\"2\"><a href=\"") + site
            + QStringLiteral("\">") + phrase + QStringLiteral("</a></font></center></p>\r\n");
        html = withCredit(html, credit);
    }
    f.RichTextBox1.setText({});

    const QString name = f.Text9.Text() + f.Text13.Text();
    const QString path = AppPath(p) + f.Text8.Text() + QLatin1Char('/') + name + QStringLiteral(".html");
    // The sitemap links to the file by its name, encoded as the file's own name needs it; the
    // name shows as text, never as markup.
    const QString links = f.Text15.Text();
    f.Text15.setText(links + QStringLiteral("<a href=\"")
        + percentEncodedFileName(name + QStringLiteral(".html")) + QStringLiteral("\">")
        + name.toHtmlEscaped() + QStringLiteral("</a>")
        + (f.Check6.Value() != 0 ? QStringLiteral("\r\n\r\n") : QStringLiteral("  ")));
    f.pageFiles.append(name + QStringLiteral(".html"));
    if (writeGeneratedPage(f, p, path, html) == PageWrite::Failed) {
        // The page's records go back into the pane, ahead of any that came during the write,
        // so they can be saved elsewhere; the sitemap must not link to a page that is not there.
        f.RichTextBox1.setText(records + f.RichTextBox1.Text());
        f.Text15.setText(links);
        f.pageFiles.removeLast();
    }
}

} // namespace tarnwick
