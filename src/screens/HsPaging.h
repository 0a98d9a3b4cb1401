#pragma once

#include "screens/HsOffThread.h"
#include "widgets/HsTaskRunner.h"

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
    // Loads the next page, when one may follow, with `fetch(page)` on a worker of `runner`; it
    // returns the page (its size is the rows the service sent), or nothing when the page failed.
    // A page that comes back for the list as it stands goes to `append`, which adds it to the
    // list and returns how many of its rows were new; `more` is then called when the next page
    // is due at once.
    template <class Fetch, class Append, class More>
    void loadNextPage(HsTaskRunner &runner, Fetch fetch, Append append, More more)
    {
        const int page = begin();
        if (page == 0)
            return;
        hsRunOffThread(
            runner, this, [fetch = std::move(fetch), page] { return fetch(page); },
            [this, ticket = m_ticket, append = std::move(append),
             more = std::move(more)](auto fetched) mutable {
                if (!awaits(ticket))
                    return;
                if (!fetched) {
                    pageFailed();
                    return;
                }
                if (pageLoaded(fetched->size(), append(*fetched)))
                    more();
            });
    }

signals:
    void stateChanged();

private:
    // Starts loading the next page when there may be one and none is loading; its number, or 0.
    int begin();
    // True when the page begun under `ticket` is still awaited: its answer is for the list as it
    // stands. Answers that are not awaited are dropped.
    bool awaits(int ticket) const { return ticket == m_ticket && m_state == Loading; }
    // The awaited page came back with `rows` entries, of which `added` were new to the list. True
    // when the next page is to be asked for at once: the page added nothing, so the list still
    // sits where it asked for more, and nothing else would ask again.
    bool pageLoaded(std::size_t rows, std::size_t added);
    void pageFailed();
    void setState(State state);

    State m_state = End;
    int m_page = 1;
    int m_ticket = 0;
    int m_pagesWithoutNewRows = 0;
};
