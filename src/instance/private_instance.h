#pragma once

#include "instance/instance_settings.h"
#include "instance/instance_system.h"

#include <QString>

#include <memory>
#include <optional>

namespace tarnwick {

class Label;
class Platform;

/// How asking for the private instance ended.
enum class InstanceOutcome { Ready, Failed, Stopped, Unloaded };

struct InstanceAnswer {
    InstanceOutcome outcome = InstanceOutcome::Failed;
    /// Where the instance listens on 127.0.0.1, when Ready.
    int port = 0;
    /// Why there is none, when Failed: one message for the user.
    QString message;
};

/// The private search instance: a searx (or SearXNG) that Tarnwick runs on this machine for the
/// harvest, owned here from its start to its reaping. The harvest asks for it; the first ask
/// writes its settings, starts it and waits for its first answer, and later asks get the same
/// instance for as long as this object lives. The window keeps one for its life and stops it at
/// Quit; tarnwick-cli stops it when its command ends. It never outlives the program: the child
/// is killed with it (InstanceSystem::start).
class PrivateInstance {
public:
    /// The longest wait for a new instance's first answer.
    static constexpr int kAnswerSeconds = 30;
    /// How long a stopped instance has to end after SIGTERM before SIGKILL.
    static constexpr int kTermSeconds = 3;
    /// Starts tried on new ports when another process took the port before the instance bound it.
    static constexpr int kPortAttempts = 3;

    explicit PrivateInstance(
        std::unique_ptr<InstanceSystem> system, InstanceSetup setup = InstanceSetup::standard());
    /// Stops the instance.
    ~PrivateInstance();
    PrivateInstance(const PrivateInstance&) = delete;
    PrivateInstance& operator=(const PrivateInstance&) = delete;

    /// The running instance, or a new one once it answers. The wait runs on `p`'s clock with
    /// events running; Stop All (`stopFlag` "0") ends it as Stopped, Quit as Unloaded, and the
    /// half-started instance is stopped then. An instance that died since the last ask is
    /// replaced without a word: no harvest was using it.
    InstanceAnswer address(Platform& p, const Label& stopFlag);
    /// When the instance has died since it answered: one message that says so and quotes its
    /// log; the next address() starts a new one. Empty while it runs or when none was started.
    QString lostMessage();
    /// SIGTERM, then SIGKILL after kTermSeconds; nothing when none runs.
    void stop();
    /// True while an instance that has answered runs, as far as is known without asking.
    bool running() const { return child_ != 0; }

    const InstanceSetup& setup() const { return setup_; }

private:
    enum class Waited { Ended, Answered, TimedOut, Stopped, Unloaded };
    enum class WaitFor { Exit, Answer };

    InstanceAnswer writeSettings(Platform& p, const Label& stopFlag);
    /// How the start ended; nothing when the port was taken, so another port may do.
    std::optional<InstanceAnswer> launch(Platform& p, const Label& stopFlag);
    Waited waitFor(WaitFor what, Platform& p, const Label& stopFlag, ChildExit& exit);
    /// The outcome for a wait that the user ended, the child stopped.
    InstanceAnswer endedBy(Waited waited);
    InstanceAnswer failed(const QString& message);
    QString address() const;
    /// " Its log FILE ends with: "LINE"", or that it is empty.
    QString logTail() const;

    std::unique_ptr<InstanceSystem> system_;
    InstanceSetup setup_;
    qint64 child_ = 0;
    int port_ = 0;
};

} // namespace tarnwick
