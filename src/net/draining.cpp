#include "net/draining.h"

#include "app/platform.h"
#include "net/transfer_control.h"

namespace tarnwick {

bool drainTransfer(TransferControl& inet, Platform& p)
{
    while (inet.StillExecuting()) {
        if (!p.DoEvents())
            return false;
        if (inet.StillExecuting())
            inet.Cancel();
    }
    return true;
}

} // namespace tarnwick
