#pragma once

#include "instance/instance_system.h"

namespace tarnwick {

/// The real InstanceSystem: fork and exec, waitpid, kill, loopback sockets and an HTTP probe.
/// A child is tied to this process with PR_SET_PDEATHSIG, which fires when the *thread* that
/// forked it ends: start children from the main thread only, which lives as long as the process.
class PosixInstanceSystem : public InstanceSystem {
public:
    qint64 start(const ChildLaunch& launch, int& error) override;
    std::optional<ChildExit> reap(qint64 child) override;
    void signal(qint64 child, int number) override;
    std::optional<ChildExit> awaitExit(qint64 child, int ms) override;
    int freePort() override;
    bool portTaken(int port) override;
    /// True when GET /config answers 200 with a JSON object that lists engines, as searx and
    /// SearXNG do; another server that took the port answers otherwise.
    bool answers(const QString& address) override;
};

} // namespace tarnwick
