#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class RefreshHeaderView;

// The owner of a pull-to-refresh header: a list screen that reloads the first page of its list.
class RefreshHeaderDelegate
{
public:
    virtual ~RefreshHeaderDelegate() = default;
    // The header was released past the threshold: start reloading.
    virtual void refreshHeaderDidTriggerRefresh(RefreshHeaderView &view) = 0;
    // True while the owner is reloading; the header asks before every change of state.
    virtual bool refreshHeaderDataSourceIsLoading(const RefreshHeaderView &view) const = 0;
};

// The strip above a list's first row that the user pulls down and releases to reload the list.
// It has no window of its own: the list view reports its vertical content offset (negative while
// the content is pulled down) and whether the user is dragging; the header keeps its state, the
// texts and arrow of its face, and the top inset the list must keep while loading.
class RefreshHeaderView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The header belongs to its list screen")
    Q_PROPERTY(int state READ state NOTIFY stateChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY stateChanged)
    Q_PROPERTY(bool arrowTurned READ isArrowTurned NOTIFY stateChanged)
    Q_PROPERTY(bool arrowTurnAnimated READ isArrowTurnAnimated NOTIFY stateChanged)
    Q_PROPERTY(bool arrowVisible READ isArrowVisible NOTIFY stateChanged)
    Q_PROPERTY(bool activityRunning READ isActivityRunning NOTIFY stateChanged)
    Q_PROPERTY(QString arrowImageName READ arrowImageName CONSTANT)
    Q_PROPERTY(QColor textColor READ textColor CONSTANT)
    Q_PROPERTY(qreal topInset READ topInset NOTIFY topInsetChanged)
    Q_PROPERTY(int insetAnimationMilliseconds READ insetAnimationMilliseconds NOTIFY topInsetChanged)
public:
    enum State
    {
        Pulling = 0,
        Normal = 1,
        Loading = 2,
    };
    Q_ENUM(State)

    // How far the list must be pulled down to trigger, and the inset kept while loading.
    static constexpr qreal triggerDistance = 65;
    static constexpr qreal loadingInset = 60;
    static constexpr int arrowTurnMilliseconds = 180;
    static constexpr int insetHideMilliseconds = 300;

    explicit RefreshHeaderView(QObject *parent = nullptr);
    RefreshHeaderView(const QString &arrowImageName, const QColor &textColor, QObject *parent = nullptr);

    void setDelegate(RefreshHeaderDelegate *delegate) { m_delegate = delegate; }
    RefreshHeaderDelegate *delegate() const { return m_delegate; }

    State state() const { return m_state; }
    void setState(State state);

    QString statusText() const { return m_statusText; }
    bool isArrowTurned() const { return m_arrowTurned; }
    // Whether the last change of state turns the arrow in view (into pulling and back out of it);
    // otherwise the arrow is set without animation.
    bool isArrowTurnAnimated() const { return m_arrowTurnAnimated; }
    bool isArrowVisible() const { return m_arrowVisible; }
    bool isActivityRunning() const { return m_activityRunning; }
    QString arrowImageName() const { return m_arrowImageName; }
    QColor textColor() const { return m_textColor; }
    // The inset is shown at once: the list's own return to its bounds then carries the content
    // to it. It goes away over a while, the content following it.
    qreal topInset() const { return m_topInset; }
    // How long the list should take to reach the current inset (0: at once).
    int insetAnimationMilliseconds() const { return m_insetAnimationMilliseconds; }

    // Every scroll event of the list, with its content offset and whether the user drags it.
    Q_INVOKABLE void refreshScrollViewDidScroll(qreal contentOffsetY, bool dragging);
    // The user lifted the finger at this content offset.
    Q_INVOKABLE void refreshScrollViewDidEndDragging(qreal contentOffsetY);
    // The owner's reload is over.
    void refreshScrollViewDataSourceDidFinishLoading();

signals:
    void stateChanged();
    void topInsetChanged();

private:
    bool ownerIsLoading() const;
    void setTopInset(qreal inset, int animationMilliseconds);

    RefreshHeaderDelegate *m_delegate = nullptr;
    QString m_arrowImageName;
    QColor m_textColor;
    State m_state = Normal;
    QString m_statusText;
    bool m_arrowTurned = false;
    bool m_arrowTurnAnimated = false;
    bool m_arrowVisible = true;
    bool m_activityRunning = false;
    qreal m_topInset = 0;
    int m_insetAnimationMilliseconds = 0;
};
