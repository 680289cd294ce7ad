#pragma once

#include "pages/page_set.h"

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// Makes results pages and the sitemap from saved spider data: `data` is the text of a
/// .sdata file as Open Spider Data puts it in the pane. Refuses, with a message and nothing
/// written, data that holds no record or a block that is none (readSpiderData), results per
/// page that are not a whole number from 1, and whatever the set-loose command refuses of
/// the page settings, the existing folder included. A record of a run without pages gets the
/// form a run with pages gives it under the record options; one without a title (a run with
/// "Description only:") gets its description and linked URL. Then writePageSet writes them.
/// Fetches nothing, and leaves the pane and a run's work fields as they were.
Publishing publishSpiderData(Form1& f, Platform& p, const QString& data);

/// Spider > "Create Pages from Spider Data": publishSpiderData over the spider data pane.
void mnuCreatePages_Click(Form1& f, Platform& p);

} // namespace tarnwick
