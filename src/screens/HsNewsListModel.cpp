#include "HsNewsListModel.h"

#include "screens/HsText.h"

int HsNewsListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_newses.size());
}

QVariant HsNewsListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const NewsItem &news = m_newses[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case NewsTitleRole:
        return hsDisplayText(news.newsTitle);
    case NewsIdRole:
        return news.newsId;
    case PublicDateRole:
        return hsDisplayText(news.publicDate);
    case ForceReturnRole:
        return news.forceReturn;
    default:
        return {};
    }
}

QHash<int, QByteArray> HsNewsListModel::roleNames() const
{
    return {{NewsIdRole, "newsId"},
            {NewsTitleRole, "newsTitle"},
            {PublicDateRole, "publicDate"},
            {ForceReturnRole, "forceReturn"}};
}

void HsNewsListModel::setNewses(std::vector<NewsItem> newses)
{
    beginResetModel();
    m_newses = std::move(newses);
    endResetModel();
}
