#pragma once

#include "documents/ReturnItem.h"

#include <QAbstractListModel>
#include <vector>

// The replies to a notice, newest first: who replied, when, and what.
class HsReturnListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role
    {
        UserNameRole = Qt::UserRole + 1,
        DateRole,
        ContentRole,
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    const std::vector<ReturnItem> &replies() const { return m_replies; }
    void setReplies(std::vector<ReturnItem> replies);
    // How many people have replied (a person who replied twice counts once).
    int repliers() const;

private:
    std::vector<ReturnItem> m_replies;
};
