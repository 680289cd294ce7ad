#include "app/event_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace tarnwick {

void waitForEventsBounded(int maxMs)
{
    // The timer only wakes the dispatcher, and goes with this call; whatever arrives first ends
    // the wait.
    QTimer wake;
    wake.start(std::max(maxMs, 0));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace tarnwick
