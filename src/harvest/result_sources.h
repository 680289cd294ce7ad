#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "harvest/searxng_results.h"

namespace tarnwick {

/// Where a result source's address comes from.
enum class ResultHost { Template, PrivateInstance };

/// Reads one page of results that `address` answered.
using ResultPageReader
    = ResultPage (*)(const FetchResult& result, const QString& address, const QString& silentHint);

/// One service the harvest can ask for result URLs. The window's Sources menu,
/// tarnwick-cli's --source and its help are all built from resultSources().
struct ResultSource {
    QString name; ///< shown to the user; --source takes it in any letter case
    /// With {searchTerms} and {startPage}; empty for the classic search site, whose
    /// address searchPattern makes (Check2, TARNWICK_SEARCH_BASE).
    QString addressTemplate;
    /// Null for the classic search site, whose result pages the page component reads.
    ResultPageReader read = nullptr;
    /// Follows the message when nothing answers.
    QString silentHint;
    /// Pages asked for one keyword at most.
    int pageLimit = 10;
    /// The private instance's {port} goes into the template once it answers.
    ResultHost host = ResultHost::Template;
    /// The Sources menu's entry for it; the name when empty.
    QString caption;
};

/// Every named result source; the first is the default.
const std::vector<ResultSource>& resultSources();

/// The source `choice` names: a row by name (any case; empty is the first row), an address
/// template with {searchTerms} read as SearXNG JSON, or a bare http(s) address taken as a
/// SearXNG instance. Nothing for anything else.
std::optional<ResultSource> resultSourceFor(const QString& choice);

/// The message for a choice resultSourceFor does not know, naming what it takes.
QString unknownResultSource(const QString& choice);

} // namespace tarnwick
