#pragma once

#include <QGuiApplication>
#include <QQuickWindow>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>
#include <vector>

// The application object of a frame benchmark: it times every event that the interface thread
// handles from its event loop (input, timers and animation ticks, network replies, queued
// results, the window's update requests that polish, sync, render and swap), so the thread's busy
// time is known at any moment, on the clock and in processor time (which a busy machine does not
// stretch). Events sent while another one is handled count once, within it.
class MeteredApplication : public QGuiApplication
{
public:
    using Clock = std::chrono::steady_clock;

    struct BusyTime
    {
        Clock::duration wall{};
        std::chrono::nanoseconds processor{};
    };

    using QGuiApplication::QGuiApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (QThread::currentThread() != thread() || m_depth > 0) {
            ++m_depth;
            const bool handled = QGuiApplication::notify(receiver, event);
            --m_depth;
            return handled;
        }
        ++m_depth;
        m_eventStarted = {Clock::now(), threadProcessorTime()};
        const bool handled = QGuiApplication::notify(receiver, event);
        m_busy.wall += Clock::now() - m_eventStarted.wall;
        m_busy.processor += threadProcessorTime() - m_eventStarted.processor;
        --m_depth;
        return handled;
    }

    // The busy time since the last call, including the event under way until now.
    BusyTime takeBusyTime()
    {
        BusyTime busy = std::exchange(m_busy, {});
        if (m_depth > 0) {
            const Moment now{Clock::now(), threadProcessorTime()};
            busy.wall += now.wall - m_eventStarted.wall;
            busy.processor += now.processor - m_eventStarted.processor;
            m_eventStarted = now;
        }
        return busy;
    }

private:
    struct Moment
    {
        Clock::time_point wall;
        std::chrono::nanoseconds processor;
    };

    static std::chrono::nanoseconds threadProcessorTime()
    {
        timespec time{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
    }

    // Only the interface thread touches these: other threads pass straight through.
    int m_depth = 0;
    Moment m_eventStarted;
    BusyTime m_busy;
};

// The time of each frame of a window while it records: the interface thread's busy time from the
// previous frame's swap to this one's. That is everything the thread did to make the frame (the
// hand's events, the flick's animation ticks and the rows they create, bindings, loaded pictures,
// then polish, sync, render and swap), without the time it slept waiting for something to do.
// The window must render on the interface thread (the software or the basic render loop).
class FrameMeter : public QObject
{
public:
    FrameMeter(MeteredApplication &application, QQuickWindow &window) : m_application(application)
    {
        connect(&window, &QQuickWindow::frameSwapped, this, &FrameMeter::frameSwapped, Qt::DirectConnection);
    }

    void start()
    {
        m_frames = {};
        m_application.takeBusyTime();
        m_recording = true;
    }

    struct Frames
    {
        // In milliseconds, in the order drawn: on the clock, and in the thread's processor time.
        std::vector<double> wall;
        std::vector<double> processor;
    };

    Frames stop()
    {
        m_recording = false;
        return std::exchange(m_frames, {});
    }

private:
    void frameSwapped()
    {
        if (QThread::currentThread() != thread()) {
            std::fprintf(stderr, "bench_frames: frames are rendered off the interface thread; "
                                 "use the software or the basic render loop\n");
            std::abort();
        }
        const MeteredApplication::BusyTime busy = m_application.takeBusyTime();
        if (!m_recording)
            return;
        m_frames.wall.push_back(std::chrono::duration<double, std::milli>(busy.wall).count());
        m_frames.processor.push_back(std::chrono::duration<double, std::milli>(busy.processor).count());
    }

    MeteredApplication &m_application;
    Frames m_frames;
    bool m_recording = false;
};

// The frame times of one scene, summed up.
struct FrameSummary
{
    std::size_t frames = 0;
    double p50 = 0;
    double p90 = 0;
    double p99 = 0;
    double max = 0;
    std::size_t over16ms = 0;
    std::size_t over50ms = 0;
};

// Percentiles by nearest rank: the smallest frame time that `share` of the frames do not exceed.
inline FrameSummary summarise(std::vector<double> frames)
{
    FrameSummary summary;
    summary.frames = frames.size();
    if (frames.empty())
        return summary;
    std::sort(frames.begin(), frames.end());
    const auto percentile = [&frames](double share) {
        const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(frames.size())));
        return frames[std::clamp<std::size_t>(rank, 1, frames.size()) - 1];
    };
    summary.p50 = percentile(0.50);
    summary.p90 = percentile(0.90);
    summary.p99 = percentile(0.99);
    summary.max = frames.back();
    summary.over16ms = static_cast<std::size_t>(
        std::count_if(frames.begin(), frames.end(), [](double ms) { return ms > 16.7; }));
    summary.over50ms = static_cast<std::size_t>(
        std::count_if(frames.begin(), frames.end(), [](double ms) { return ms > 50; }));
    return summary;
}
