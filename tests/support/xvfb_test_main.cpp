#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// Real-window tests run against a private Xvfb, started on a free display and ended after the tests.
namespace {

// TARNWICK_XVFB_SCREEN ("1600x1000x24") sets the screen, for a run at a high display scale.
pid_t startXvfb(std::string& display)
{
    const char* screen = std::getenv("TARNWICK_XVFB_SCREEN");
    const std::string size = screen && *screen ? screen : "1280x800x24";
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", size.c_str(), "-nolisten", "tcp",
            static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Read the display number and its newline before closing the pipe, or the server dies writing.
    std::string number;
    char c = 0;
    while (pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) {
        if (pid > 0)
            waitpid(pid, nullptr, 0);
        return -1;
    }
    display = ":" + number;
    return pid;
}

} // namespace

int main(int argc, char** argv)
{
    // Listing the tests needs no server.
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--gtest_list_tests") {
            ::testing::InitGoogleTest(&argc, argv);
            return RUN_ALL_TESTS();
        }
    }
    std::string display;
    const pid_t xvfb = startXvfb(display);
    if (xvfb < 0) {
        std::fprintf(stderr, "Xvfb could not be started; install the xvfb package\n");
        return 1;
    }
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    // The private display has no session bus; without an address Qt would start one, out of our control.
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tarnwick-test-bus", 1);
    // Run journals go to a folder of this test run, never to the user's own state folder.
    QTemporaryDir state;
    setenv("XDG_STATE_HOME", state.path().toUtf8().constData(), 1);
    QLocale::setDefault(QLocale::c());
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    return result;
}
