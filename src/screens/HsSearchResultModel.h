#pragma once

#include "cache/SearchDao.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>
#include <vector>

// The entries a search found, drawn as record rows: a title and a date line.
class HsSearchResultModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Results belong to their search")
public:
    enum Role
    {
        TitleRole = Qt::UserRole + 1,
        DateRole,
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    const std::vector<SearchEntry> &entries() const { return m_entries; }
    void setEntries(std::vector<SearchEntry> entries);

private:
    std::vector<SearchEntry> m_entries;
};
