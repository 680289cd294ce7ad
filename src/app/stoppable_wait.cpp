#include "app/stoppable_wait.h"

#include "app/controls.h"
#include "app/platform.h"

#include <algorithm>

namespace tarnwick {

WaitEnd waitUnlessStopped(Platform& p, const Label& stopFlag, qint64 ms)
{
    const QDateTime until = p.now().addMSecs(ms);
    for (;;) {
        if (stopFlag.Caption() == QLatin1String("0"))
            return WaitEnd::Stopped;
        const qint64 left = p.now().msecsTo(until);
        if (left <= 0)
            return WaitEnd::Elapsed;
        p.Sleep(static_cast<int>(std::min<qint64>(left, kWaitSliceMs)));
        if (!p.DoEvents())
            return WaitEnd::Unloaded;
    }
}

} // namespace tarnwick
