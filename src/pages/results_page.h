#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

class Form1;
class Platform;

/// Writes the next numbered results page from the spider data and the template, and
/// appends its link to the sitemap link list.
void createpage(Form1& f, Platform& p);

// The pieces of a results page. A run's createpage and publishing saved spider data both
// build their pages from these, so the same records give the same page either way.

/// The backlink entry (List6) the credit link of the next page shows: a fresh draw for
/// every page, whether or not it gets the link; entry 0, the address, counts as entry 1.
int creditAnchor(const Form1& f, Platform& p);
/// The title a page shows for the title of its first record: as much of it as the page
/// title field (Text14) holds, cut to its first four words.
QString pageTitle(const Form1& f, const QString& firstTitle);
/// The page numbered `number`: the template filled with `records`, titled `title` (from
/// pageTitle), and on pages 21 to 29 the credit link to backlink entry `anchor`.
QString resultsPageHtml(
    const Form1& f, const QString& records, const QString& title, const QString& number, int anchor);
/// The page's file name without ".html": the page url name (Text9) and the number.
QString pageName(const Form1& f, const QString& number);
/// Appends the sitemap's link to the page `name` to `links`, and its file to `files`.
void addSitemapLink(const Form1& f, const QString& name, QString& links, QStringList& files);

} // namespace tarnwick
