#include "HsRefreshCycle.h"

#include <QTimer>

HsRefreshCycle::HsRefreshCycle(FetchFactory reloadTableViewDataSource, QObject *parent)
    : QObject(parent), m_reloadTableViewDataSource(std::move(reloadTableViewDataSource))
{
    m_header.setDelegate(this);
}

void HsRefreshCycle::refreshHeaderDidTriggerRefresh(RefreshHeaderView &)
{
    m_reloading = true;
    Fetch reload = m_reloadTableViewDataSource();
    if (!reload.fetch) {
        fetchReturned();
        return;
    }
    m_tasks.run(std::move(reload.fetch), [this, apply = std::move(reload.apply)] {
        if (apply)
            apply();
        fetchReturned();
    });
}

bool HsRefreshCycle::refreshHeaderDataSourceIsLoading(const RefreshHeaderView &) const
{
    return m_reloading;
}

void HsRefreshCycle::fetchReturned()
{
    QTimer::singleShot(doneLoadingDelayMilliseconds, this, &HsRefreshCycle::doneLoadingTableViewData);
}

void HsRefreshCycle::doneLoadingTableViewData()
{
    m_reloading = false;
    m_header.refreshScrollViewDataSourceDidFinishLoading();
}
