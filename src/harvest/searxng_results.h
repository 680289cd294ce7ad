#pragma once

#include <QString>
#include <QStringList>

#include "net/blocking_fetch.h"

namespace tarnwick {

/// One page of results as a search service answered it, or why it did not.
struct ResultPage {
    QStringList urls; ///< the results' http and https addresses, in page order
    QStringList failedEngines; ///< "google (CAPTCHA)": engines that did not answer
    QString refusal;
};

/// What a SearXNG instance says when its JSON output is turned off (HTTP 403).
inline constexpr const char* kSearxngJsonOff
    = "JSON output is turned off on this instance: enable it in settings.yml, or run your own";

/// Reads a page of SearXNG's JSON API (/search?format=json): the `url` of each entry of
/// `results`, and `unresponsive_engines` as [name, reason] pairs.
ResultPage readSearxngResults(const FetchResult& result, const QString& address, const QString& silentHint);

} // namespace tarnwick
