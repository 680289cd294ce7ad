#pragma once

#include <QString>

namespace tarnwick {

// Tarnwick's own web site: the referer default, part of the user-agent default and entry 0 of
// the backlink list.
inline const QString kMakerSite = QStringLiteral("http://www.tarnwick.example/");

} // namespace tarnwick
