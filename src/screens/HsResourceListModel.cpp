#include "HsResourceListModel.h"

#include "screens/HsText.h"
#include "screens/HsUnseenItems.h"

HsResourceListModel::HsResourceListModel(int perRow, QObject *parent)
    : QAbstractListModel(parent), m_perRow(perRow < 1 ? 1 : perRow)
{}

int HsResourceListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>((m_resources.size() + static_cast<size_t>(m_perRow) - 1) /
                            static_cast<size_t>(m_perRow));
}

const ResourceItem *HsResourceListModel::shown(int row, int half) const
{
    if (row < 0 || half < 0 || half >= m_perRow)
        return nullptr;
    const size_t position =
        static_cast<size_t>(row) * static_cast<size_t>(m_perRow) + static_cast<size_t>(half);
    return position < m_resources.size() ? &m_resources[position] : nullptr;
}

QVariant HsResourceListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ResourceItem &first = *shown(index.row(), 0);
    const ResourceItem *second = shown(index.row(), 1);
    switch (role) {
    case Qt::DisplayRole:
    case ResTitleRole:
        return hsDisplayText(first.resTitle);
    case ResIdRole:
        return first.resId;
    case ResThumbRole:
        return hsDisplayText(first.resThumb);
    case UpdateDateRole:
        return hsDisplayText(first.updateDate);
    case HasSecondRole:
        return second != nullptr;
    case ResId2Role:
        return second ? second->resId : 0;
    case ResTitle2Role:
        return second ? hsDisplayText(second->resTitle) : QString();
    case ResThumb2Role:
        return second ? hsDisplayText(second->resThumb) : QString();
    default:
        return {};
    }
}

QHash<int, QByteArray> HsResourceListModel::roleNames() const
{
    return {{ResIdRole, "resId"},           {ResTitleRole, "resTitle"},   {ResThumbRole, "resThumb"},
            {UpdateDateRole, "updateDate"}, {HasSecondRole, "hasSecond"}, {ResId2Role, "resId2"},
            {ResTitle2Role, "resTitle2"},   {ResThumb2Role, "resThumb2"}};
}

void HsResourceListModel::reloadData(std::vector<ResourceItem> resources)
{
    beginResetModel();
    m_resources = std::move(resources);
    endResetModel();
}

std::size_t HsResourceListModel::appendResources(const std::vector<ResourceItem> &resources)
{
    const std::vector<ResourceItem> added =
        hsUnseenItems(m_resources, resources, [](const ResourceItem &resource) { return resource.resId; });
    if (added.empty())
        return 0;
    // A half-filled last row of a two-to-a-row table changes as well as gaining rows after it.
    const int rowsBefore = rowCount();
    const bool lastRowChanges = m_resources.size() % static_cast<size_t>(m_perRow) != 0;
    const size_t total = m_resources.size() + added.size();
    const int rowsAfter =
        static_cast<int>((total + static_cast<size_t>(m_perRow) - 1) / static_cast<size_t>(m_perRow));
    if (rowsAfter > rowsBefore)
        beginInsertRows({}, rowsBefore, rowsAfter - 1);
    m_resources.insert(m_resources.end(), added.begin(), added.end());
    if (rowsAfter > rowsBefore)
        endInsertRows();
    if (lastRowChanges)
        emit dataChanged(index(rowsBefore - 1), index(rowsBefore - 1));
    return added.size();
}

std::optional<ResourceItem> HsResourceListModel::resourceAt(int row, int half) const
{
    const ResourceItem *resource = shown(row, half);
    return resource ? std::optional<ResourceItem>(*resource) : std::nullopt;
}
