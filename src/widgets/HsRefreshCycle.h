#pragma once

#include "widgets/HsTaskRunner.h"
#include "widgets/RefreshHeaderView.h"

#include <QObject>
#include <functional>

// One list's pull-to-refresh: owns the header and answers its questions. A release past the
// threshold runs the owner's fetch on a worker thread (the interface never waits on the
// network); the header stays loading until the fetch has returned and ends 0.5 s after that,
// whatever the outcome. A pull with nothing to fetch ends the same way without a call.
class HsRefreshCycle : public QObject, public RefreshHeaderDelegate
{
    Q_OBJECT
public:
    static constexpr int doneLoadingDelayMilliseconds = 500;

    // The owner's fetch: `fetch` runs on a worker thread, `apply` afterwards on the interface
    // thread. Empty functions when there is nothing to fetch.
    struct Fetch
    {
        std::function<void()> fetch;
        std::function<void()> apply;
    };
    using FetchFactory = std::function<Fetch()>;

    explicit HsRefreshCycle(FetchFactory reloadTableViewDataSource, QObject *parent = nullptr);

    RefreshHeaderView *header() { return &m_header; }
    // True from the trigger until the header has been told that loading has finished.
    bool isReloading() const { return m_reloading; }

    void refreshHeaderDidTriggerRefresh(RefreshHeaderView &view) override;
    bool refreshHeaderDataSourceIsLoading(const RefreshHeaderView &view) const override;

private:
    void fetchReturned();
    void doneLoadingTableViewData();

    FetchFactory m_reloadTableViewDataSource;
    RefreshHeaderView m_header;
    HsTaskRunner m_tasks;
    bool m_reloading = false;
};
