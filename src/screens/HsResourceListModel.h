#pragma once

#include "documents/ResourceItem.h"

#include <QAbstractListModel>
#include <optional>
#include <vector>

// The resources one table shows, as of its last reload. The resource table has one resource a
// row (CellResource); the photo table two (CellResourcePhoto): row r shows resources 2r on its
// left half and 2r + 1, when there is one, on its right half. A table opens what it shows, so a
// touch never reaches past the resources it was reloaded with.
class HsResourceListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role
    {
        ResIdRole = Qt::UserRole + 1,
        ResTitleRole,
        ResThumbRole,
        UpdateDateRole,
        HasSecondRole,
        ResId2Role,
        ResTitle2Role,
        ResThumb2Role,
    };

    explicit HsResourceListModel(int perRow, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    int perRow() const { return m_perRow; }
    const std::vector<ResourceItem> &resources() const { return m_resources; }
    void reloadData(std::vector<ResourceItem> resources);
    // Adds the resources of a further page after the rows, leaving out those already shown; how
    // many were added.
    std::size_t appendResources(const std::vector<ResourceItem> &resources);

    // The resource shown in `half` (0 left, 1 right) of `row`, or none.
    std::optional<ResourceItem> resourceAt(int row, int half = 0) const;

private:
    const ResourceItem *shown(int row, int half) const;

    int m_perRow;
    std::vector<ResourceItem> m_resources;
};
