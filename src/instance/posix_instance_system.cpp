#include "instance/posix_instance_system.h"

#include "app/interrupted.h"
#include "net/blocking_fetch.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace tarnwick {

namespace {

constexpr int kProbeTimeoutSeconds = 2;
constexpr int kAwaitStepMs = 10;
// Descriptors the child keeps, moved above this before the fork so dup2 cannot clobber them.
constexpr int kHighFd = 10;
// Where the child reports a failed exec; close-on-exec, so a successful exec closes it.
constexpr int kExecErrorFd = 3;

// A descriptor at kHighFd or above, close-on-exec, in place of `fd`; -1 when it failed.
int movedHigh(int fd)
{
    if (fd == -1)
        return -1;
    const int high = ::fcntl(fd, F_DUPFD_CLOEXEC, kHighFd);
    ::close(fd);
    return high;
}

ChildExit exitOf(int status)
{
    if (WIFSIGNALED(status))
        return { 0, WTERMSIG(status) };
    return { WIFEXITED(status) ? WEXITSTATUS(status) : 0, 0 };
}

int loopbackSocket(int port, int& error)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd == -1) {
        error = errno;
        return -1;
    }
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // As a server binds: a port left in TIME_WAIT by old connections counts as free.
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        error = errno;
        ::close(fd);
        return -1;
    }
    error = 0;
    return fd;
}

// Runs in the child between fork and exec: only async-signal-safe calls from here on.
[[noreturn]] void becomeChild(pid_t parent, int in, int out, int execError, int maxFd, const char* folder,
    const char* program, char* const* argv, char* const* envp)
{
    // Killed with this process, even by SIGKILL; KILL, since a dead parent cannot follow a
    // TERM that goes unheeded.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have died before the line above, and then no signal comes.
    if (::getppid() != parent)
        ::_exit(127);
    // A group of its own: Ctrl-C at the terminal is Tarnwick's to handle, not the child's.
    ::setpgid(0, 0);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction plain { };
    plain.sa_handler = SIG_DFL;
    for (int number = 1; number < NSIG; ++number)
        ::sigaction(number, &plain, nullptr);
    if (::dup2(in, 0) == -1 || ::dup2(out, 1) == -1 || ::dup2(out, 2) == -1
        || ::dup2(execError, kExecErrorFd) == -1)
        ::_exit(127);
    ::fcntl(kExecErrorFd, F_SETFD, FD_CLOEXEC);
    // Nothing else of this process leaks into the child: no lock, socket or pipe of ours.
    if (::close_range(kExecErrorFd + 1, ~0U, 0) != 0)
        for (int fd = kExecErrorFd + 1; fd < maxFd; ++fd)
            ::close(fd);
    if (folder[0] != '\0' && ::chdir(folder) != 0) {
        const int error = errno;
        [[maybe_unused]] const ssize_t written = ::write(kExecErrorFd, &error, sizeof error);
        ::_exit(127);
    }
    ::execve(program, argv, envp);
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(kExecErrorFd, &error, sizeof error);
    ::_exit(127);
}

} // namespace

qint64 PosixInstanceSystem::start(const ChildLaunch& launch, int& error)
{
    // Everything the child needs is made before the fork.
    const QByteArray program = QFile::encodeName(launch.program);
    const QByteArray folder = QFile::encodeName(launch.workingFolder);
    std::vector<QByteArray> arguments { program };
    for (const QString& argument : launch.arguments)
        arguments.push_back(argument.toUtf8());
    std::vector<QByteArray> environment;
    for (const QString& variable : launch.environment)
        environment.push_back(variable.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (QByteArray& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    rlimit files {};
    const int maxFd = ::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < 65536
        ? static_cast<int>(files.rlim_cur)
        : 65536;

    // The log is the child's alone to write; it may quote what the engines answered.
    const int out = movedHigh(::open(QFile::encodeName(launch.outputFile).constData(),
        O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600));
    if (out == -1) {
        error = errno;
        return 0;
    }
    const int in = movedHigh(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    int pipeFds[2] = { -1, -1 };
    if (in == -1 || ::pipe2(pipeFds, O_CLOEXEC) != 0) {
        error = errno;
        ::close(out);
        if (in != -1)
            ::close(in);
        return 0;
    }
    const int reader = pipeFds[0];
    const int writer = movedHigh(pipeFds[1]);

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
        becomeChild(parent, in, out, writer, maxFd, folder.constData(), program.constData(), argv.data(),
            envp.data());
    const int forkError = errno;
    ::close(in);
    ::close(out);
    ::close(writer);
    if (pid == -1) {
        ::close(reader);
        error = forkError;
        return 0;
    }
    // The pipe closes at a successful exec; before that the child writes why it failed.
    int childError = 0;
    const ssize_t got = retryInterrupted([&] { return ::read(reader, &childError, sizeof childError); });
    ::close(reader);
    if (got == static_cast<ssize_t>(sizeof childError)) {
        int status = 0;
        retryInterrupted([&] { return ::waitpid(pid, &status, 0); });
        error = childError;
        return 0;
    }
    error = 0;
    return pid;
}

std::optional<ChildExit> PosixInstanceSystem::reap(qint64 child)
{
    int status = 0;
    const pid_t done
        = retryInterrupted([&] { return ::waitpid(static_cast<pid_t>(child), &status, WNOHANG); });
    if (done == 0)
        return std::nullopt;
    // Someone else reaped it (ECHILD): it is gone all the same.
    return done == -1 ? ChildExit { -1, 0 } : exitOf(status);
}

void PosixInstanceSystem::signal(qint64 child, int number)
{
    // The group may not exist yet if the child has not reached setpgid; then the child itself.
    if (::kill(-static_cast<pid_t>(child), number) != 0)
        ::kill(static_cast<pid_t>(child), number);
}

std::optional<ChildExit> PosixInstanceSystem::awaitExit(qint64 child, int ms)
{
    for (int waited = 0;; waited += kAwaitStepMs) {
        if (const std::optional<ChildExit> ended = reap(child))
            return ended;
        if (waited >= ms)
            return std::nullopt;
        const timespec step { 0, kAwaitStepMs * 1000000L };
        ::nanosleep(&step, nullptr);
    }
}

int PosixInstanceSystem::freePort()
{
    int error = 0;
    const int fd = loopbackSocket(0, error);
    if (fd == -1)
        return 0;
    sockaddr_in address {};
    socklen_t size = sizeof address;
    const int port
        = ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0 ? ntohs(address.sin_port) : 0;
    ::close(fd);
    return port;
}

bool PosixInstanceSystem::portTaken(int port)
{
    int error = 0;
    const int fd = loopbackSocket(port, error);
    if (fd != -1)
        ::close(fd);
    return error == EADDRINUSE;
}

bool PosixInstanceSystem::answers(const QString& address)
{
    const FetchResult result = fetchBlocking(QUrl(address + QStringLiteral("/config")), kProbeTimeoutSeconds);
    if (!result.ok || result.status != 200)
        return false;
    const QJsonDocument answer = QJsonDocument::fromJson(result.body);
    return answer.isObject() && answer.object().value(QStringLiteral("engines")).isArray();
}

} // namespace tarnwick
