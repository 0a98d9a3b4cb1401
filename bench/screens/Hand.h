#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QQuickWindow>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

// A touch screen reports the finger about 60 times a second.
inline constexpr int kTouchMilliseconds = 16;

// A finger on the window, moved by a script of steps played one per touch report. A step tells
// whether it is done; one that is not is tried again at the next report. Steps may put further
// steps before the rest of the script, so a script can repeat until its list is through.
class Hand
{
public:
    using Step = std::function<bool()>;

    Hand(QQuickWindow &window, int timeLimitMilliseconds)
        : m_window(window), m_timeLimitMilliseconds(timeLimitMilliseconds)
    {}

    void then(Step step) { m_steps.push_back(std::move(step)); }
    // Puts `steps` next, before the rest of the script.
    void next(std::vector<Step> steps) { m_steps.insert(m_steps.begin(), steps.begin(), steps.end()); }

    Step press(QPoint at)
    {
        return [this, at] {
            QTest::mousePress(&m_window, Qt::LeftButton, {}, at, sinceLastEvent());
            m_at = at;
            return true;
        };
    }
    Step moveBy(QPoint by)
    {
        return [this, by] {
            m_at += by;
            QTest::mouseMove(&m_window, m_at, sinceLastEvent());
            return true;
        };
    }
    Step release()
    {
        return [this] {
            QTest::mouseRelease(&m_window, Qt::LeftButton, {}, m_at, sinceLastEvent());
            return true;
        };
    }
    // The finger stays still for `reports` touch reports.
    Step rest(int reports)
    {
        auto left = std::make_shared<int>(reports);
        return [left] { return --*left <= 0; };
    }
    static Step waitFor(std::function<bool()> done) { return done; }

    // Plays the script; false when it did not end in time.
    bool play()
    {
        QElapsedTimer elapsed;
        elapsed.start();
        m_sinceLastEvent.start();
        QEventLoop loop;
        QTimer reports;
        reports.setTimerType(Qt::PreciseTimer);
        QObject::connect(&reports, &QTimer::timeout, &loop, [&] {
            if (m_steps.empty() || elapsed.hasExpired(m_timeLimitMilliseconds)) {
                loop.quit();
                return;
            }
            Step step = std::move(m_steps.front());
            m_steps.pop_front();
            if (!step())
                m_steps.push_front(std::move(step));
        });
        reports.start(kTouchMilliseconds);
        loop.exec();
        return m_steps.empty();
    }

private:
    // Event times follow the clock, so a flick's speed is the finger's.
    int sinceLastEvent() { return static_cast<int>(std::max<qint64>(1, m_sinceLastEvent.restart())); }

    QQuickWindow &m_window;
    int m_timeLimitMilliseconds;
    std::deque<Step> m_steps;
    QPoint m_at;
    QElapsedTimer m_sinceLastEvent;
};
