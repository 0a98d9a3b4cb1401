#pragma once

#include "documents/NewsItem.h"

#include <QAbstractListModel>
#include <vector>

// The headlines of a list screen, one row per headline: the rows of CellNews.
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
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    const std::vector<NewsItem> &newses() const { return m_newses; }
    void setNewses(std::vector<NewsItem> newses);

private:
    std::vector<NewsItem> m_newses;
};
