#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <cstddef>

// Where a paged list stands at its end: more may follow, the next page is loading, everything has
// been loaded (a page came back with fewer than 20), or the last page failed and may be retried.
// A restart (new category, pull-to-refresh) begins again after page 1; pages asked for before it
// are recognised by their ticket and dropped.
class HsPaging : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Paging belongs to its list screen")
    Q_PROPERTY(int state READ state NOTIFY stateChanged)
    Q_PROPERTY(QString text READ text NOTIFY stateChanged)
public:
    enum State
    {
        More,
        Loading,
        End,
        Failed,
    };
    Q_ENUM(State)

    static constexpr int pageSize = 20;

    using QObject::QObject;

    State state() const { return m_state; }
    // The text of the row at the list's end.
    QString text() const;

    // Page 1 is shown, holding `rows` entries.
    void restart(std::size_t rows);
    // Starts loading the next page when there may be one and none is loading; its number, or 0.
    int begin();
    // The ticket of the pages begun since the last restart.
    int ticket() const { return m_ticket; }
    // The page begun under `ticket` came back with `rows` entries, or failed; stale tickets are
    // ignored. True when the answer is for the list as it stands.
    bool pageLoaded(int ticket, std::size_t rows);
    bool pageFailed(int ticket);

signals:
    void stateChanged();

private:
    void setState(State state);

    State m_state = End;
    int m_page = 1;
    int m_ticket = 0;
};
