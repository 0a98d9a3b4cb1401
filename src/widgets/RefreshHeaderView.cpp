#include "RefreshHeaderView.h"

#include <algorithm>

RefreshHeaderView::RefreshHeaderView(QObject *parent)
    : RefreshHeaderView(QStringLiteral("blueArrow.png"), QColor(87, 108, 137), parent)
{}

RefreshHeaderView::RefreshHeaderView(const QString &arrowImageName, const QColor &textColor, QObject *parent)
    : QObject(parent), m_arrowImageName(arrowImageName), m_textColor(textColor)
{
    setState(Normal);
}

void RefreshHeaderView::setState(State state)
{
    m_arrowTurnAnimated = state == Pulling || (state == Normal && m_state == Pulling);
    switch (state) {
    case Pulling:
        m_statusText = QStringLiteral("释放后返回前20条...");
        m_arrowTurned = true;
        break;
    case Normal:
        m_statusText = QStringLiteral("下拉后返回前20条...");
        m_activityRunning = false;
        m_arrowVisible = true;
        m_arrowTurned = false;
        break;
    case Loading:
        m_statusText = QStringLiteral("加载中...");
        m_activityRunning = true;
        m_arrowVisible = false;
        break;
    }
    m_state = state;
    emit stateChanged();
}

bool RefreshHeaderView::ownerIsLoading() const
{
    return m_delegate && m_delegate->refreshHeaderDataSourceIsLoading(*this);
}

void RefreshHeaderView::setTopInset(qreal inset, int animationMilliseconds)
{
    if (m_topInset == inset && m_insetAnimationMilliseconds == animationMilliseconds)
        return;
    m_topInset = inset;
    m_insetAnimationMilliseconds = animationMilliseconds;
    emit topInsetChanged();
}

void RefreshHeaderView::refreshScrollViewDidScroll(qreal contentOffsetY, bool dragging)
{
    if (m_state == Loading) {
        setTopInset(std::min(std::max(-contentOffsetY, qreal(0)), loadingInset), 0);
        return;
    }
    if (!dragging)
        return;
    const bool loading = ownerIsLoading();
    if (m_state == Pulling && contentOffsetY > -triggerDistance && contentOffsetY < 0 && !loading)
        setState(Normal);
    else if (m_state == Normal && contentOffsetY < -triggerDistance && !loading)
        setState(Pulling);
    if (m_topInset != 0)
        setTopInset(0, 0);
}

void RefreshHeaderView::refreshScrollViewDidEndDragging(qreal contentOffsetY)
{
    if (contentOffsetY > -triggerDistance || ownerIsLoading())
        return;
    if (m_delegate)
        m_delegate->refreshHeaderDidTriggerRefresh(*this);
    setState(Loading);
    setTopInset(loadingInset, 0);
}

void RefreshHeaderView::refreshScrollViewDataSourceDidFinishLoading()
{
    // Normal first: the scrolling that clearing the inset causes must not set it again.
    setState(Normal);
    setTopInset(0, insetHideMilliseconds);
}
