#pragma once

#include <QString>

namespace tarnwick {

/// The installed settings file for a local SearXNG, the harvest's default result source.
inline constexpr char kInstalledSearxngSettings[] = "/usr/share/tarnwick/searxng/settings.yml";

/// "PROGRAM VERSION" and the copyright, as --version prints it.
QString versionText(const char* program);
/// The environment variables both programs read, as a help section.
QString environmentHelp();

} // namespace tarnwick
