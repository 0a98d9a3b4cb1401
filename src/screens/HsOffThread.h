#pragma once

#include "screens/ScreenPort.h"
#include "widgets/HsTaskRunner.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

// One piece of work done off the interface thread, split in two steps: `work` for a worker
// thread and `apply` for the interface thread once `work` has returned.
struct HsOffThreadSteps
{
    std::function<void()> work;
    std::function<void()> apply;
};

// Hands what `work` returns to `apply` (which takes it; both take nothing when `work` returns
// nothing). `work` must hold only what it owns (values, shared pointers), never a screen, since it
// may outlive it.
template <class Work, class Apply> HsOffThreadSteps hsOffThreadSteps(Work work, Apply apply)
{
    using Result = std::invoke_result_t<Work &>;
    if constexpr (std::is_void_v<Result>) {
        return {std::move(work), std::move(apply)};
    } else {
        auto result = std::make_shared<std::optional<Result>>();
        return {[result, work = std::move(work)]() mutable { result->emplace(work()); },
                [result, apply = std::move(apply)]() mutable { apply(std::move(**result)); }};
    }
}

// The same, with `apply` run only while `owner` lives: a screen closed meanwhile drops the result.
template <class Work, class Apply>
HsOffThreadSteps hsOffThreadSteps(const QObject *owner, Work work, Apply apply)
{
    return hsOffThreadSteps(std::move(work), [alive = QPointer<const QObject>(owner),
                                              apply = std::move(apply)](auto &&...result) mutable {
        if (alive)
            apply(std::forward<decltype(result)>(result)...);
    });
}

// Runs `work` on a worker thread of `runner` and `apply` afterwards, as hsOffThreadSteps says.
template <class Work, class Apply>
void hsRunOffThread(HsTaskRunner &runner, const QObject *owner, Work work, Apply apply)
{
    HsOffThreadSteps steps = hsOffThreadSteps(owner, std::move(work), std::move(apply));
    runner.run(std::move(steps.work), std::move(steps.apply));
}

// The same under the progress overlay showing `text`: `apply` runs once the overlay has hidden.
template <class Work, class Apply>
void hsRunUnderOverlay(ScreenPort &port, const QString &text, const QObject *owner, Work work, Apply apply)
{
    HsOffThreadSteps steps = hsOffThreadSteps(owner, std::move(work), std::move(apply));
    port.runUnderOverlay(text, std::move(steps.work), std::move(steps.apply));
}

// Under the overlay, for an `apply` that holds nothing of the screen, only what outlives it: it
// runs even when the screen has closed meanwhile.
template <class Work, class Apply>
void hsRunUnderOverlay(ScreenPort &port, const QString &text, Work work, Apply apply)
{
    HsOffThreadSteps steps = hsOffThreadSteps(std::move(work), std::move(apply));
    port.runUnderOverlay(text, std::move(steps.work), std::move(steps.apply));
}
