#include "HsReturnListModel.h"

#include "screens/HsText.h"

#include <set>

int HsReturnListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_replies.size());
}

QVariant HsReturnListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ReturnItem &reply = m_replies[static_cast<size_t>(index.row())];
    switch (role) {
    case UserNameRole:
        return hsDisplayText(reply.userName);
    case DateRole:
        return hsDisplayText(reply.rtDate);
    case Qt::DisplayRole:
    case ContentRole:
        return hsDisplayText(reply.rtContent);
    default:
        return {};
    }
}

QHash<int, QByteArray> HsReturnListModel::roleNames() const
{
    return {{UserNameRole, "userName"}, {DateRole, "rtDate"}, {ContentRole, "rtContent"}};
}

void HsReturnListModel::setReplies(std::vector<ReturnItem> replies)
{
    beginResetModel();
    m_replies = std::move(replies);
    endResetModel();
}

int HsReturnListModel::repliers() const
{
    std::set<int32_t> users;
    for (const ReturnItem &reply : m_replies)
        users.insert(reply.userId);
    return static_cast<int>(users.size());
}
