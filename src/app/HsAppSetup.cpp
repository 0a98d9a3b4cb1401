#include "HsAppSetup.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The signal handler may only write to a pipe; the event loop reads the other end.
int terminationPipe[2] = {-1, -1};

void noteTerminationSignal(int)
{
    const char signalled = 1;
    [[maybe_unused]] const ssize_t written = write(terminationPipe[1], &signalled, 1);
}

} // namespace

void hsSetApplicationNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("hsschool"));
    QCoreApplication::setApplicationName(QStringLiteral("hsschool"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HSSCHOOL_APP_VERSION));
    // Ties the windows to the installed desktop entry, whose icon and name the desktop shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("hsschool"));
}

void hsSetUpApplication()
{
    hsSetApplicationNames();
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(15);
    QGuiApplication::setFont(font);
    // Text is drawn from glyphs rasterised at their size rather than from distance fields: the
    // interface never scales or turns its text, and a distance field costs a glyph far more to
    // make and to draw, which Chinese text, with its many distinct glyphs, pays in every scrolled
    // frame that brings new ones into view.
    QQuickWindow::setTextRenderType(QQuickWindow::NativeTextRendering);
}

QString hsDataDirectory()
{
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(directory);
    return directory;
}

void hsQuitOnTerminationSignals()
{
    if (pipe2(terminationPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier =
        new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, QCoreApplication::instance(), [] {
        char signalled = 0;
        while (read(terminationPipe[0], &signalled, 1) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = noteTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signalNumber, &action, nullptr);
}
