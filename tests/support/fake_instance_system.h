#pragma once

#include "instance/instance_system.h"

#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <set>
#include <vector>

namespace tarnwick {
class PrivateInstance;
struct InstanceSetup;
} // namespace tarnwick

namespace tarnwick::test {

/// A scripted InstanceSystem: each start takes the next child's script and nothing runs; the
/// waits around it run on the fake platform's clock. It records what was started and signalled.
class FakeInstanceSystem : public InstanceSystem {
public:
    /// What one started child does.
    struct Child {
        int startError = 0; ///< refuse to start with this errno
        int endsAtReap = -1; ///< ends by itself when reaped this often, -1 never
        int exitCode = 0; ///< its exit status then; minus a signal's number for a death by it
        int answersAtProbe = -1; ///< answers from this many probes on, -1 never
        bool ignoresTerm = false;
        QByteArray output; ///< written to its output file as it starts
    };
    /// A settings writer that writes at once, and an instance that answers at once.
    static Child writes() { return { 0, 0, 0, -1 }; }
    static Child answers() { return { 0, -1, 0, 0 }; }

    ~FakeInstanceSystem() override;
    qint64 start(const ChildLaunch& launch, int& error) override;
    std::optional<ChildExit> reap(qint64 child) override;
    void signal(qint64 child, int number) override;
    std::optional<ChildExit> awaitExit(qint64 child, int ms) override;
    int freePort() override;
    bool portTaken(int port) override { return taken.count(port) != 0; }
    bool answers(const QString& address) override;

    // The next children, in order; then writers that write, instances that answer (or `fallbackError`).
    std::deque<Child> children;
    int fallbackError = 0;
    /// freePort's answers, then 40001, 40002, ...
    std::deque<int> ports;
    std::set<int> taken;

    // What happened.
    std::vector<ChildLaunch> launches;
    std::vector<int> signalled;

private:
    struct Running {
        Child script;
        int reaps = 0;
        int probes = 0;
        std::optional<ChildExit> ended;
        bool reaped = false;
    };
    std::vector<Running> started_;
    int nextPort_ = 40000;
};

/// A PrivateInstance over a FakeInstanceSystem, its files in a temporary folder.
struct FakeInstance {
    FakeInstance();
    ~FakeInstance();

    QTemporaryDir folder;
    FakeInstanceSystem* system; ///< owned by `instance`
    std::unique_ptr<PrivateInstance> instance;
};

/// The setup of an instance whose files all go in `folder`, with `userSettings` there.
InstanceSetup setupIn(const QString& folder);

} // namespace tarnwick::test
