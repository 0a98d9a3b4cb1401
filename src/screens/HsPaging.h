#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <cstddef>

// Where a paged list stands at its end: more may follow, the next page is loading, everything has
// been loaded (a page came back with fewer than 20), or the last page failed and may be retried.
// A restart (a new list shown: new category, pull-to-refresh, search) begins again after page 1;
// pages asked for before it are recognised by their ticket and dropped. A list that is being
// replaced keeps its paging until the new list is there, so a failed replacement leaves it whole.
class HsPaging : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Paging belongs to its list screen")
    Q_PROPERTY(State state READ state NOTIFY stateChanged)
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
    // Full pages in a row that bring nothing new before the list stops asking by itself and
    // offers a retry: a service that ignores the page number would otherwise be asked forever.
    static constexpr int maxPagesWithoutNewRows = 5;

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
    // True when the page begun under `ticket` is still awaited: its answer is for the list as it
    // stands. Answers that are not awaited are dropped.
    bool awaits(int ticket) const { return ticket == m_ticket && m_state == Loading; }
    // The awaited page came back with `rows` entries, of which `added` were new to the list. True
    // when the next page is to be asked for at once: the page added nothing, so the list still
    // sits where it asked for more, and nothing else would ask again.
    bool pageLoaded(std::size_t rows, std::size_t added);
    void pageFailed();

signals:
    void stateChanged();

private:
    void setState(State state);

    State m_state = End;
    int m_page = 1;
    int m_ticket = 0;
    int m_pagesWithoutNewRows = 0;
};
