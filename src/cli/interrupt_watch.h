#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace tarnwick {

/// Turns SIGINT (Ctrl-C) and SIGTERM into a call on the event loop. The signal handler only
/// writes a byte to a pipe, the one thing that is safe there; a socket notifier on the other
/// end calls `onInterrupt` during the next event pass. The first signal also gives the
/// default action back, so a second Ctrl-C ends a program that no longer listens.
class InterruptWatch : public QObject {
public:
    explicit InterruptWatch(std::function<void()> onInterrupt);
    ~InterruptWatch() override;

    /// True once a signal has arrived and been handled.
    bool interrupted() const { return interrupted_; }

private:
    void drain();

    std::function<void()> onInterrupt_;
    QSocketNotifier* notifier_ = nullptr;
    bool interrupted_ = false;
};

} // namespace tarnwick
