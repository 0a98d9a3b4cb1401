#pragma once

#include "documents/NewsItem.h"

#include <QAbstractListModel>
#include <set>
#include <vector>

// The headlines of a list screen, one row per headline: the rows of CellNews. It also knows which
// headlines the signed-in account has opened (the others are unread) and which notices it has
// replied to.
class HsNewsListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role
    {
        NewsIdRole = Qt::UserRole + 1,
        NewsTitleRole,
        PublicDateRole,
        ForceReturnRole,
        UnreadRole,
        AnsweredRole,
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    const std::vector<NewsItem> &newses() const { return m_newses; }
    void setNewses(std::vector<NewsItem> newses);
    // Adds the headlines of a further page after the rows, leaving out those already shown (the
    // list may have moved on the server between two pages); how many were added.
    std::size_t appendNewses(const std::vector<NewsItem> &newses);

    void setMarks(std::set<int32_t> readIds, std::set<int32_t> answeredIds);
    // True when the mark is new.
    bool markRead(int32_t newsId);
    bool markAnswered(int32_t newsId);
    // The rows not yet opened.
    int unreadCount() const;

private:
    void newsChanged(int32_t newsId);

    std::vector<NewsItem> m_newses;
    std::set<int32_t> m_readIds;
    std::set<int32_t> m_answeredIds;
};
