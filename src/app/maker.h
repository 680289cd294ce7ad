#pragma once

#include <QString>

namespace tarnwick {

// Tarnwick's own web site: the referer default, part of the user-agent default, entry 0 of
// the backlink list and the home of the help page.
inline const QString kMakerSite = QStringLiteral("http://www.tarnwick.example/");
inline const QString kHelpAddress = QStringLiteral("http://www.tarnwick.example/help.html");

} // namespace tarnwick
