#pragma once

#include <QString>

namespace tarnwick {

/// Where a piece of page text stood: a legacy reference written without its ";" counts
/// inside an attribute value only when no letter, digit or "=" follows it ("?a=1&copy=2").
enum class ReferenceContext { ElementText, AttributeValue };

/// Every character reference decoded as a browser decodes it: named ones from the whole
/// HTML list (letter case counts), decimal and hex ones, with code points that cannot stand
/// in a page (zero, surrogates, past U+10FFFF) as U+FFFD and 128 to 159 read as Windows-1252.
QString decodeCharReferences(const QString& text, ReferenceContext context);

} // namespace tarnwick
