#include "cli/interrupt_watch.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tarnwick {

namespace {

int pipeFds[2] = { -1, -1 };

void onSignal(int number)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    struct sigaction defaultAction { };
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    ::sigaction(number, &defaultAction, nullptr);
    errno = savedErrno;
}

void install(int number, void (*handler)(int))
{
    struct sigaction action { };
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(number, &action, nullptr);
}

} // namespace

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt)
    : onInterrupt_(std::move(onInterrupt))
{
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { drain(); });
    install(SIGINT, onSignal);
    install(SIGTERM, onSignal);
}

InterruptWatch::~InterruptWatch()
{
    install(SIGINT, SIG_DFL);
    install(SIGTERM, SIG_DFL);
    delete notifier_;
    for (int& fd : pipeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void InterruptWatch::drain()
{
    char bytes[16];
    while (::read(pipeFds[0], bytes, sizeof bytes) > 0) { }
    interrupted_ = true;
    if (onInterrupt_)
        onInterrupt_();
}

} // namespace tarnwick
