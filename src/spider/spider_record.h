#pragma once

#include <QString>

namespace tarnwick {

class Form1;

/// The title and description as cut from a page, before cleaning.
QString cutTitle(const QString& head);
QString cutDescription(const QString& head);

/// Drops double spaces, tabs and line breaks, decodes the few entities pages use in titles
/// and trims the spaces at both ends.
QString cleanCutText(const QString& text);

/// The spider record(s) of one accepted page, chosen by the create-pages box, the two
/// record boxes and the link options. The URL is written percent-encoded (percentEncodedUrl).
QString spiderRecords(const Form1& f, const QString& title, const QString& desc, const QString& listedUrl);

} // namespace tarnwick
