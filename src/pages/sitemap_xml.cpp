#include "pages/sitemap_xml.h"

#include "app/form1.h"
#include "app/platform.h"
#include "files/text_file_writer.h"

#include <QUrl>

namespace tarnwick {

namespace {

QString xmlEscaped(const QString& text)
{
    QString out = text.toHtmlEscaped();
    return out.replace(QLatin1Char('\''), QStringLiteral("&apos;"));
}

/// The address encoded as a search engine expects it (an IDN host in its ASCII form, the path's
/// spaces and non-ASCII letters percent-encoded), ending in "/" so file names join it.
QString folderAddress(const QString& address)
{
    QString folder = QString::fromLatin1(QUrl(address, QUrl::TolerantMode).toEncoded(QUrl::FullyEncoded));
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

QString siteAddress(const Form1& f)
{
    return f.Text18.Text().trimmed();
}

SiteAddressProblem checkSiteAddress(const QString& address)
{
    const QUrl url(address, QUrl::TolerantMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        || url.host().isEmpty())
        return SiteAddressProblem::NotWebAddress;
    if (url.hasQuery() || url.hasFragment())
        return SiteAddressProblem::QueryOrFragment;
    return SiteAddressProblem::None;
}

QString sitemapXml(const QString& address, const QStringList& files, const QDate& date)
{
    const QString folder = folderAddress(address);
    const QString lastmod = date.toString(Qt::ISODate);
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n");
    for (const QString& file : files) {
        // A page name may hold "#", "?" or "%", which must reach the server as part of the name;
        // the sub-delimiters a path may carry as they are stay readable.
        const QString name = QString::fromLatin1(QUrl::toPercentEncoding(file, "!$&'()*+,;=:@"));
        xml += QStringLiteral("  <url>\n    <loc>") + xmlEscaped(folder + name)
            + QStringLiteral("</loc>\n    <lastmod>") + lastmod + QStringLiteral("</lastmod>\n  </url>\n");
    }
    return xml + QStringLiteral("</urlset>\n");
}

PageWrite writeSitemapXml(
    Form1& f, Platform& p, const QStringList& pageFiles, const QString& sitemapFile, const QDate& date)
{
    const QString address = siteAddress(f);
    if (address.isEmpty())
        return PageWrite::Written;
    const QString path = outputPath(f, p, QLatin1String(kSitemapXmlName));
    // The field stays editable while the run pumps events; an address spoilt since the
    // checks passed must not give search engines addresses that lead nowhere.
    if (checkSiteAddress(address) != SiteAddressProblem::None)
        return pageNotWritten(
            f, path, QStringLiteral("the site address is no longer an http or https address"));
    const QString xml = sitemapXml(address, QStringList(pageFiles) << sitemapFile, date);
    const SaveResult result = saveTextFile(p.fileSystem(), path, xml, Durability::NoSync);
    return result.ok() ? PageWrite::Written : pageNotWritten(f, path, result.reason);
}

} // namespace tarnwick
