#pragma once

#include "pages/page_writer.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace tarnwick {

class Form1;
class Platform;

/// The file search engines read, written beside the sitemap page.
inline constexpr char kSitemapXmlName[] = "sitemap.xml";

/// What keeps a site address from standing before the pages' names.
enum class SiteAddressProblem { None, NotWebAddress, QueryOrFragment };

/// The site address field (Text18) without the spaces round it; empty means no sitemap.xml.
QString siteAddress(const Form1& f);
/// An address is usable when it is an absolute http or https address with a host and holds
/// neither a query nor a fragment, which would swallow the file names joined to it.
SiteAddressProblem checkSiteAddress(const QString& address);

/// The sitemaps.org 0.9 text that lists `files` (names inside the published folder) under
/// `address`, each last modified on `date`: every address percent-encoded, then XML-escaped.
QString sitemapXml(const QString& address, const QStringList& files, const QDate& date);

/// With a site address set, writes sitemap.xml into the output folder, listing the results
/// pages `pageFiles` and the sitemap page `sitemapFile`, each last modified on `date`. A file
/// that cannot be written stops the run, as a page does.
PageWrite writeSitemapXml(
    Form1& f, Platform& p, const QStringList& pageFiles, const QString& sitemapFile, const QDate& date);

} // namespace tarnwick
