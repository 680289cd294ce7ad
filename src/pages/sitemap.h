#pragma once

#include "pages/page_writer.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace tarnwick {

class Form1;
class Platform;

/// Writes the sitemap page from the sitemap link list and the template.
void createsitemap(Form1& f, Platform& p);

/// Writes the sitemap page listing `links` (as addSitemapLink makes them) and, with a site
/// address, sitemap.xml listing `pageFiles` and the sitemap page, dated `date`. A run and
/// publishing saved spider data both end with it.
PageWrite writeSitemaps(
    Form1& f, Platform& p, const QString& links, const QStringList& pageFiles, const QDate& date);

} // namespace tarnwick
