#pragma once

#include <QString>

namespace tarnwick {

/// The settings.yml for one's own SearXNG that exists on this machine: the installed copy
/// (share/tarnwick/searxng beside the executable's bin folder, /usr/share/... for the
/// package), else the one in the source folder this build came from; empty when neither is.
QString searxngSettingsFile();

/// What follows "No answer from ..." when the SearXNG instance at `address` (an instance
/// address or an address template) did not answer. On this machine's loopback over http it
/// is a command that starts one publishing that address's port, with `settingsFile` mounted;
/// an instance elsewhere is not the user's to start here, so it gets no command.
QString searxngStartHint(const QString& address, const QString& settingsFile = searxngSettingsFile());

} // namespace tarnwick
