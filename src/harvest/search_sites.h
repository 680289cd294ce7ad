#pragma once

#include <QString>

namespace tarnwick {

enum class SearchSite { Worldwide, UnitedKingdom };

/// The search address pattern ("***" marks the term). The base addresses can be moved with
/// the environment: TARNWICK_SEARCH_BASE replaces the worldwide base
/// ("http://www.google.com"), TARNWICK_SEARCH_BASE_UK the UK one ("http://www.google.co.uk");
/// when only TARNWICK_SEARCH_BASE is set it serves both.
QString searchPattern(SearchSite site);

/// The search term of a keyword entry: the piece between the first " - " and the next one,
/// trimmed; the whole trimmed entry when it holds no separator. An entry that begins with
/// "- " has an empty first part, one that ends with " -" an empty term.
QString searchTerm(const QString& entry);

/// The site root of `address` ("http://host/"), empty when the address has fewer than
/// three pieces split at "/".
QString siteRoot(const QString& address);

} // namespace tarnwick
