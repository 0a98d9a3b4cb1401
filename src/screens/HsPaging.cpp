#include "HsPaging.h"

QString HsPaging::text() const
{
    switch (m_state) {
    case Loading:
        return QStringLiteral("加载中...");
    case End:
        return QStringLiteral("没有更多了");
    case Failed:
        return QStringLiteral("加载失败，点击重试");
    case More:
        break;
    }
    return {};
}

void HsPaging::restart(std::size_t rows)
{
    ++m_ticket;
    m_page = 1;
    setState(rows < static_cast<std::size_t>(pageSize) ? End : More);
}

int HsPaging::begin()
{
    if (m_state != More && m_state != Failed)
        return 0;
    setState(Loading);
    return m_page + 1;
}

bool HsPaging::pageLoaded(int ticket, std::size_t rows)
{
    if (ticket != m_ticket || m_state != Loading)
        return false;
    ++m_page;
    setState(rows < static_cast<std::size_t>(pageSize) ? End : More);
    return true;
}

bool HsPaging::pageFailed(int ticket)
{
    if (ticket != m_ticket || m_state != Loading)
        return false;
    setState(Failed);
    return true;
}

void HsPaging::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}
