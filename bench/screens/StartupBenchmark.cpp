// bench_startup [RUNS [PROGRAM]]: how long the application takes from its start to a visible
// window, and its resident memory at the login screen, with the software renderer on the
// offscreen platform.
//
// Each run starts the real hsschool program (or PROGRAM, another build of it) as a user who has
// seen the guide (a fresh data folder whose defaults say so), so it opens at the login screen.
// The start is timed from just before the process is started until the scene graph reports its
// first rendered frame (the program runs with the scene graph's render-loop timing lines on, and
// the first one marks the window's first frame). Once no frame has been drawn for half a second
// the login screen is still, and the process's resident set (VmRSS of /proc/PID/status) is read;
// then it is asked to end. The first run warms the file cache and is not counted, so these are
// warm starts of a new process. Beside the start time come the processor time that the process's
// threads had used by the first frame and the time they had waited for a processor, which tells a
// busy machine from a slow start.

#include "settings/HsDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr int kDefaultRuns = 15;
constexpr int kWaitMilliseconds = 30000;
// The login screen counts as still once no frame has been drawn for this long.
constexpr int kStillMilliseconds = 500;

struct Run
{
    double startMilliseconds = 0;
    // Of all the process's threads until the first frame: on a processor, and ready to run but
    // waiting for one (what a busy machine adds).
    double processorMilliseconds = 0;
    double waitingMilliseconds = 0;
    double residentMiB = 0;
};

struct SchedulerTimes
{
    double processorMilliseconds = 0;
    double waitingMilliseconds = 0;
};

// The time the threads of a process have spent on a processor and waiting for one, from the
// scheduler's statistics (/proc/PID/task/TID/schedstat: nanoseconds running, then waiting).
SchedulerTimes schedulerTimes(qint64 pid)
{
    SchedulerTimes times;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (!schedstat.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> fields = schedstat.readAll().trimmed().split(' ');
        if (fields.size() < 2)
            continue;
        times.processorMilliseconds += fields[0].toDouble() / 1e6;
        times.waitingMilliseconds += fields[1].toDouble() / 1e6;
    }
    return times;
}

// A field of /proc/PID/status ("VmRSS") in MiB.
double statusMiB(qint64 pid, const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').front().toDouble() / 1024.0;
    }
    return 0;
}

// A data folder whose defaults say that the guide has been seen.
bool prepareDataFolder(const QString &home)
{
    const QString folder = QDir(home).filePath(QStringLiteral("hsschool/hsschool"));
    return QDir().mkpath(folder) &&
           HsDefaults(QDir(folder).filePath(QStringLiteral("defaults.ini"))).setValue("firstOpen", "1");
}

std::optional<Run> startOnce(const QString &program)
{
    QTemporaryDir home;
    if (!home.isValid() || !prepareDataFolder(home.path()))
        return std::nullopt;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                       QStringLiteral("qt.scenegraph.time.renderloop=true"));
    environment.insert(QStringLiteral("HSSCHOOL_QUIET"), QStringLiteral("1"));
    // Nothing listens there; the login screen calls nothing until the user signs in.
    environment.insert(QStringLiteral("HSSCHOOL_ENDPOINT"),
                       QStringLiteral("http://127.0.0.1:9/school/services/schoolSvc"));

    QProcess app;
    app.setProcessEnvironment(environment);
    QElapsedTimer clock;
    QElapsedTimer sinceFrame;
    std::optional<double> firstFrame;
    SchedulerTimes untilFirstFrame;
    QObject::connect(&app, &QProcess::readyReadStandardError, [&] {
        if (!app.readAllStandardError().contains("rendered"))
            return;
        if (!firstFrame) {
            firstFrame = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            untilFirstFrame = schedulerTimes(app.processId());
        }
        sinceFrame.start();
    });
    clock.start();
    app.start(program, {});
    if (!app.waitForStarted(kWaitMilliseconds))
        return std::nullopt;
    while (!(firstFrame && sinceFrame.hasExpired(kStillMilliseconds)) &&
           !clock.hasExpired(kWaitMilliseconds) && app.state() == QProcess::Running)
        app.waitForReadyRead(kStillMilliseconds / 5);
    std::optional<Run> run;
    if (firstFrame && app.state() == QProcess::Running)
        run = Run{*firstFrame, untilFirstFrame.processorMilliseconds, untilFirstFrame.waitingMilliseconds,
                  statusMiB(app.processId(), "VmRSS")};
    app.terminate();
    if (!app.waitForFinished(kWaitMilliseconds))
        app.kill();
    return run;
}

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : kDefaultRuns;
    if (runs < 1) {
        std::fprintf(stderr, "usage: bench_startup [RUNS [PROGRAM]]\n");
        return 2;
    }
    const QString program = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(HSSCHOOL_APP_BINARY);
    std::vector<double> starts;
    std::vector<double> processor;
    std::vector<double> waiting;
    std::vector<double> residents;
    for (int i = 0; i <= runs; ++i) {
        const std::optional<Run> run = startOnce(program);
        if (!run) {
            std::fprintf(stderr, "bench_startup: the application showed no window\n");
            return 1;
        }
        if (i == 0)
            continue;
        starts.push_back(run->startMilliseconds);
        processor.push_back(run->processorMilliseconds);
        waiting.push_back(run->waitingMilliseconds);
        residents.push_back(run->residentMiB);
    }
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    std::printf("# software renderer, offscreen; load average %s on %d cores\n",
                load.readAll().split(' ').mid(0, 3).join(' ').constData(), QThread::idealThreadCount());
    std::printf("%-30s %6s %8s %8s %8s %8s\n", "", "runs", "min", "median", "p90", "max");
    const auto row = [runs](const char *name, const std::vector<double> &values, const char *format) {
        std::printf("%-30s %6d", name, runs);
        for (const double share : {0.0, 0.5, 0.9, 1.0})
            std::printf(format, percentile(values, share));
        std::printf("\n");
    };
    row("start to first frame (ms)", starts, " %8.0f");
    row("  on a processor (ms)", processor, " %8.0f");
    row("  waiting for a processor (ms)", waiting, " %8.0f");
    row("resident at login (MiB)", residents, " %8.1f");
    return 0;
}
