#include "app/event_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace tarnwick {

void waitForEventsBounded(int maxMs)
{
    // The timer only wakes the dispatcher; whatever arrives first ends the wait.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(maxMs > 0 ? maxMs : 0);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

} // namespace tarnwick
