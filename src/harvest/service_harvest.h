#pragma once

#include "harvest/url_harvest.h"

namespace tarnwick {

class Form1;
class Platform;
struct ResultSource;

/// Harvests the term in Text2 from a source with a reader: pages 1, 2, ... while a page
/// adds a URL to the list, up to the source's page limit, each answered page followed by
/// the classic harvest's wait. End when the run must end: stopped, the window gone, a
/// refusal, or an empty page while search engines failed (each says so in one message).
HarvestFlow harvestFromService(Form1& f, Platform& p, const ResultSource& source);

/// Puts the private instance's port into `source`, starting the instance when none runs
/// (harvestStartingInstance is set meanwhile). End when there is none: its message shown,
/// "Stopped!" for Stop All, or nothing when the window went away.
HarvestFlow reachPrivateInstance(Form1& f, Platform& p, ResultSource& source);

} // namespace tarnwick
