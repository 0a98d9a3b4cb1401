#pragma once

#include "documents/StudentItem.h"
#include "documents/TeacherItem.h"

#include <QAbstractListModel>
#include <variant>
#include <vector>

// The people on show in the contacts area, kept together with their kind, so a row is always
// drawn from the list it belongs to: nothing yet (0), teachers (1) or students (2). Each row is a
// CellStudent: the person's name (empty when absent) and picture address.
using HsContactList = std::variant<std::monostate, std::vector<TeacherItem>, std::vector<StudentItem>>;

class HsContactListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(ServiceType serviceType READ serviceType NOTIFY serviceTypeChanged)
public:
    enum Role
    {
        NameRole = Qt::UserRole + 1,
        AvatarRole,
    };
    // What the list holds.
    enum ServiceType
    {
        NoContacts = 0,
        Teachers = 1,
        Students = 2,
    };
    Q_ENUM(ServiceType)

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    ServiceType serviceType() const { return static_cast<ServiceType>(m_datas.index()); }
    const HsContactList &datas() const { return m_datas; }
    // Replaces the list and its kind in one step.
    void setDatas(HsContactList datas);

signals:
    void serviceTypeChanged();

private:
    HsContactList m_datas;
};
