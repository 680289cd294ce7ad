#pragma once

#include <QString>

namespace tarnwick {

/// A URL as it is written into spider records, results pages and the sitemap: every
/// character that cannot stand in a URL (controls, space, `"`, `<`, `>`, `\`, `^`, backtick,
/// `{`, `|`, `}`) percent-encoded from its UTF-8 bytes, the same set the transfer control
/// encodes when it fetches. A well-formed URL comes back unchanged; one crafted to break out
/// of an attribute or a text stays inert.
QString percentEncodedUrl(const QString& url);

/// A file name as a relative link to that file: everything but letters, digits, "-._~" and
/// "!$'()*+,;=:@" percent-encoded from its UTF-8 bytes. "#", "?" and "%" are part of the name,
/// not a fragment, a query or an escape; "&" is encoded too, so no HTML reader takes
/// "&amp" in a name for a character reference.
QString percentEncodedFileName(const QString& name);

} // namespace tarnwick
