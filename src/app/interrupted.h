#pragma once

#include <cerrno>

namespace tarnwick {

/// Makes a system call again while a signal interrupts it (-1 with EINTR): the command line's
/// Ctrl-C handler and a child's SIGCHLD can land in any read, write or wait. Only a failed call
/// looks at errno, which a successful call leaves as an earlier one set it.
template <typename Call> auto retryInterrupted(Call call)
{
    auto result = call();
    while (result == -1 && errno == EINTR)
        result = call();
    return result;
}

} // namespace tarnwick
