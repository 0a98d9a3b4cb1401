#include "HsNewsListModel.h"

#include "screens/HsText.h"
#include "screens/HsUnseenItems.h"

#include <algorithm>

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
        // The service's flag reaches the cell as whether the notice asks for a reply.
        return news.forceReturn != 0;
    case UnreadRole:
        return m_readIds.count(news.newsId) == 0;
    case AnsweredRole:
        return m_answeredIds.count(news.newsId) != 0;
    default:
        return {};
    }
}

QHash<int, QByteArray> HsNewsListModel::roleNames() const
{
    return {{NewsIdRole, "newsId"},           {NewsTitleRole, "newsTitle"}, {PublicDateRole, "publicDate"},
            {ForceReturnRole, "forceReturn"}, {UnreadRole, "unread"},       {AnsweredRole, "answered"}};
}

void HsNewsListModel::setNewses(std::vector<NewsItem> newses)
{
    beginResetModel();
    m_newses = std::move(newses);
    endResetModel();
}

std::size_t HsNewsListModel::appendNewses(const std::vector<NewsItem> &newses)
{
    const std::vector<NewsItem> added =
        hsUnseenItems(m_newses, newses, [](const NewsItem &news) { return news.newsId; });
    if (added.empty())
        return 0;
    const int first = static_cast<int>(m_newses.size());
    beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
    m_newses.insert(m_newses.end(), added.begin(), added.end());
    endInsertRows();
    return added.size();
}

void HsNewsListModel::setMarks(std::set<int32_t> readIds, std::set<int32_t> answeredIds)
{
    m_readIds = std::move(readIds);
    m_answeredIds = std::move(answeredIds);
    if (!m_newses.empty())
        emit dataChanged(index(0), index(rowCount() - 1), {UnreadRole, AnsweredRole});
}

bool HsNewsListModel::markRead(int32_t newsId)
{
    if (!m_readIds.insert(newsId).second)
        return false;
    newsChanged(newsId);
    return true;
}

bool HsNewsListModel::markAnswered(int32_t newsId)
{
    if (!m_answeredIds.insert(newsId).second)
        return false;
    newsChanged(newsId);
    return true;
}

int HsNewsListModel::unreadCount() const
{
    return static_cast<int>(std::count_if(m_newses.begin(), m_newses.end(), [this](const NewsItem &news) {
        return m_readIds.count(news.newsId) == 0;
    }));
}

void HsNewsListModel::newsChanged(int32_t newsId)
{
    for (int row = 0; row < rowCount(); ++row)
        if (m_newses[static_cast<size_t>(row)].newsId == newsId)
            emit dataChanged(index(row), index(row), {UnreadRole, AnsweredRole});
}
