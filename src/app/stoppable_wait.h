#pragma once

#include <QtGlobal>

namespace tarnwick {

class Label;
class Platform;

/// How a wait of a run ended.
enum class WaitEnd { Elapsed, Stopped, Unloaded };

/// The longest sleep between two event passes of a wait: Stop All ends a wait this soon.
inline constexpr int kWaitSliceMs = 100;

/// Waits `ms` milliseconds on the platform's clock in short sleeps, letting events run after
/// each, and ends early once the stop flag (`Label3`) reads "0" or the window was unloaded.
WaitEnd waitUnlessStopped(Platform& p, const Label& stopFlag, qint64 ms);

} // namespace tarnwick
