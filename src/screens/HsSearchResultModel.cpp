#include "HsSearchResultModel.h"

#include "screens/HsText.h"

int HsSearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant HsSearchResultModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const SearchEntry &entry = m_entries[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case TitleRole:
        return hsDisplayText(entry.title);
    case DateRole:
        return hsDisplayText(entry.dateLine);
    default:
        return {};
    }
}

QHash<int, QByteArray> HsSearchResultModel::roleNames() const
{
    return {{TitleRole, "title"}, {DateRole, "date"}};
}

void HsSearchResultModel::setEntries(std::vector<SearchEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}
