#include "pages/results_page.h"

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

int creditAnchor(const Form1& f, Platform& p)
{
    p.Randomize();
    const double r = p.Rnd();
    const int anchor = static_cast<int>(std::floor(r * f.List6.ListCount()));
    return anchor == 0 ? 1 : anchor;
}

QString pageTitle(const Form1& f, const QString& firstTitle)
{
    return shortTitle(firstTitle.left(f.Text14.MaxLength()));
}

QString resultsPageHtml(
    const Form1& f, const QString& records, const QString& title, const QString& number, int anchor)
{
    QString data = records;
    data.replace(QStringLiteral("\r\n"), QStringLiteral("<br>\r\n"));
    QString html
        = fillTemplate(f.RichTextBox2.Text(), { title, title + QStringLiteral(" ..."), fontBlock(f, data) });
    const double position = Val(number);
    if (position > 20 && position < 30) {
        const int n = f.List6.ListCount();
        const QString site = n > 0 ? f.List6.List(0) : QString();
        const QString phrase = anchor < n ? f.List6.List(anchor) : QString();
        const QString credit = QStringLiteral("<p><center><font size=\"2\"><a href=\"") + site
            + QStringLiteral("\">") + phrase + QStringLiteral("</a></font></center></p>\r\n");
        html = withCredit(html, credit);
    }
    return html;
}

QString pageName(const Form1& f, const QString& number)
{
    return f.Text9.Text() + number;
}

void addSitemapLink(const Form1& f, const QString& name, QString& links, QStringList& files)
{
    // The sitemap links to the file by its name, encoded as the file's own name needs it; the
    // name shows as text, never as markup.
    links += QStringLiteral("<a href=\"") + percentEncodedFileName(name + QStringLiteral(".html"))
        + QStringLiteral("\">") + name.toHtmlEscaped() + QStringLiteral("</a>")
        + (f.Check6.Value() != 0 ? QStringLiteral("\r\n\r\n") : QStringLiteral("  "));
    files.append(name + QStringLiteral(".html"));
}

void createpage(Form1& f, Platform& p)
{
    const int anchor = creditAnchor(f, p);
    if (!p.DoEvents())
        return;

    f.Text14.setText(pageTitle(f, f.Text14.Text()));
    const QString records = f.RichTextBox1.Text();
    const QString html = resultsPageHtml(f, records, f.Text14.Text(), f.Text13.Text(), anchor);
    f.RichTextBox1.setText({});

    const QString name = pageName(f, f.Text13.Text());
    const QString links = f.Text15.Text();
    QString grown = links;
    addSitemapLink(f, name, grown, f.pageFiles);
    f.Text15.setText(grown);
    if (writeGeneratedPage(f, p, outputPath(f, p, name + QStringLiteral(".html")), html)
        == PageWrite::Failed) {
        // The page's records go back into the pane, ahead of any that came during the write,
        // so they can be saved elsewhere; the sitemap must not link to a page that is not there.
        f.RichTextBox1.setText(records + f.RichTextBox1.Text());
        f.Text15.setText(links);
        f.pageFiles.removeLast();
    }
}

} // namespace tarnwick
