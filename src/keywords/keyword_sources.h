#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "keywords/open_search_suggestions.h"

namespace tarnwick {

/// Reads what a suggestion service answered at `address`.
using SuggestionReader
    = Suggestions (*)(const FetchResult& result, const QString& address, const QString& silentHint);

/// One service the keyword lookup can ask. The window's Sources menu, tarnwick-cli's
/// --source and its help are all built from keywordSources().
struct KeywordSource {
    QString name; ///< shown to the user; --source takes it in any letter case
    /// With {searchTerms}, {language}, {country} and {region}; empty for the classic
    /// service, whose address suggestionAddress makes (TARNWICK_SUGGEST_BASE moves it).
    QString addressTemplate;
    /// Null for the classic service, whose answer page the page component reads.
    SuggestionReader read = nullptr;
    /// Follows the message when nothing answers.
    QString silentHint;
};

/// Every named keyword source; the first is the default.
const std::vector<KeywordSource>& keywordSources();

/// The source `choice` names: a row by name (any case; empty is the first row), an address
/// template with {searchTerms} read as OpenSearch suggestions, or a bare http(s) address
/// taken as a SearXNG instance. Nothing for anything else.
std::optional<KeywordSource> keywordSourceFor(const QString& choice);

/// The message for a choice keywordSourceFor does not know, naming what it takes.
QString unknownKeywordSource(const QString& choice);

} // namespace tarnwick
