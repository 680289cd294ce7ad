#pragma once

#include <QString>

namespace tarnwick {

/// The country part of the suggestion host for a server box text (compared exactly):
/// ".uk", ".de", ... or empty for "United States" and any text outside the table.
QString countryPart(const QString& serverBoxText);

/// The suggestion request address for `seed` (percent-encoded, so "&", "#" and spaces
/// reach the service as typed). The host is "http://inventory" + country part +
/// ".overture.com"; TARNWICK_SUGGEST_BASE, when set, replaces it for every country.
QString suggestionAddress(const QString& serverBoxText, const QString& seed);

/// The file the answer is kept in for the page component: TARNWICK_CACHE_DIR, else the
/// user's cache folder + "/tarnwick/", then "asgxXxxyYyyzZZZzz-928374QXWY-asg826X.htm".
QString suggestionFilePath();

} // namespace tarnwick
