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
    m_pagesWithoutNewRows = 0;
    setState(rows < static_cast<std::size_t>(pageSize) ? End : More);
}

int HsPaging::begin()
{
    if (m_state != More && m_state != Failed)
        return 0;
    setState(Loading);
    return m_page + 1;
}

bool HsPaging::pageLoaded(std::size_t rows, std::size_t added)
{
    ++m_page;
    if (rows < static_cast<std::size_t>(pageSize)) {
        setState(End);
        return false;
    }
    m_pagesWithoutNewRows = added == 0 ? m_pagesWithoutNewRows + 1 : 0;
    if (m_pagesWithoutNewRows >= maxPagesWithoutNewRows) {
        m_pagesWithoutNewRows = 0;
        setState(Failed);
        return false;
    }
    setState(More);
    return added == 0;
}

void HsPaging::pageFailed()
{
    setState(Failed);
}

void HsPaging::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}
