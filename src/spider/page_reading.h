#pragma once

#include "app/page_verdict.h"
#include "spider/char_references.h"

#include <QString>

#include <functional>

namespace tarnwick {

/// What a page yields: the cleaned title and description, as far as the reading got, and
/// the verdict. Only an Accepted page goes into the spider data.
struct PageReading {
    PageVerdict verdict = PageVerdict::Empty;
    QString title;
    QString description;
};

/// True when the first piece of a body already refuses the page: empty, or mentioning
/// "500" or "internal server error" (which also catches "width=500"; the rule is old and kept).
bool refusedAtFirstPiece(const QString& firstPiece);

/// Reads a page's head the way an HTML parser does: the first <title> element and the
/// content of the first <meta name="description">, in any attribute order, quoting and
/// letter case. The head is the text before the first "<body"; a page without one ends its
/// head where a parser would start the body. `keepsTitle` is the title filter, asked once
/// the title qualifies; none keeps every title.
PageReading readPage(const QString& body, const std::function<bool(const QString&)>& keepsTitle = {});

/// Page text as it goes into a record: the old entity replacements in their order, then
/// every other character reference, then each run of white space or control characters as
/// one space, trimmed.
QString cleanCutText(const QString& text, ReferenceContext context = ReferenceContext::ElementText);

} // namespace tarnwick
