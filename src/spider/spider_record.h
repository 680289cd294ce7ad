#pragma once

#include <QString>

namespace tarnwick {

class Form1;

/// The spider record(s) of one accepted page, chosen by the create-pages box, the two
/// record boxes and the link options. The URL is written percent-encoded (percentEncodedUrl).
QString spiderRecords(const Form1& f, const QString& title, const QString& desc, const QString& listedUrl);

} // namespace tarnwick
