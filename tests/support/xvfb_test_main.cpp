#include <QApplication>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

// Real-window tests run against a private Xvfb, started on a free display and ended after the tests.
namespace {

// TARNWICK_XVFB_SCREEN ("1600x1000x24") sets the screen, for a run at a high display scale.
// Xvfb writes its display number to its standard output once it takes clients; empty when it fails.
QByteArray startXvfb(QProcess& xvfb)
{
    const QString screen = qEnvironmentVariable("TARNWICK_XVFB_SCREEN");
    xvfb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    xvfb.start("Xvfb",
        { "-displayfd", "1", "-screen", "0", screen.isEmpty() ? "1280x800x24" : screen, "-nolisten", "tcp" });
    while (!xvfb.canReadLine() && xvfb.waitForReadyRead(-1))
        continue;
    const QByteArray number = xvfb.readLine().trimmed();
    xvfb.closeReadChannel(QProcess::StandardOutput);
    return number.isEmpty() ? QByteArray() : ":" + number;
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no server.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QProcess xvfb;
    const QByteArray display = startXvfb(xvfb);
    if (display.isEmpty()) {
        std::fprintf(stderr, "Xvfb could not be started; install the xvfb package\n");
        return 1;
    }
    setenv("DISPLAY", display.constData(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    // The private display has no session bus; without an address Qt would start one, out of our control.
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tarnwick-test-bus", 1);
    // Run journals go to a folder of this test run, never to the user's own state folder.
    QTemporaryDir state;
    setenv("XDG_STATE_HOME", state.path().toUtf8().constData(), 1);
    QLocale::setDefault(QLocale::c());
    // The application, and with it the connection to the display, ends before the server does.
    const int result = [&] {
        QApplication app(argc, argv);
        return RUN_ALL_TESTS();
    }();
    xvfb.terminate();
    xvfb.waitForFinished();
    return result;
}
