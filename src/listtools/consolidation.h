#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

/// Keeps where a stopped spider run ended: list position `index` (from 0) of the URL list as
/// it is now. Set with the run's state rather than read from the list's highlighted entry,
/// which a message box, a key or a click may move or clear.
void markStopPoint(Form1& f, int index);
/// Forgets the stop point: a run started or completed, or the list was consolidated.
void clearStopPoint(Form1& f);

/// "Consolidate URL list": accepted URLs followed by those after the stop point. Without a
/// stop point, or when the URL list changed since (other than by appends), it says so and
/// changes nothing.
void Command6_Click(Form1& f, Platform& p);

} // namespace tarnwick
