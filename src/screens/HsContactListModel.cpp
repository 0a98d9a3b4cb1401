#include "HsContactListModel.h"

#include "screens/HsText.h"

namespace {

QVariant field(const TeacherItem &teacher, int role)
{
    return role == HsContactListModel::AvatarRole ? hsDisplayText(teacher.avatar)
                                                  : hsDisplayText(teacher.teacherName);
}

QVariant field(const StudentItem &student, int role)
{
    return role == HsContactListModel::AvatarRole ? hsDisplayText(student.avatar)
                                                  : hsDisplayText(student.studentName);
}

} // namespace

int HsContactListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return std::visit(
        [](const auto &list) -> int {
            if constexpr (std::is_same_v<std::decay_t<decltype(list)>, std::monostate>)
                return 0;
            else
                return static_cast<int>(list.size());
        },
        m_datas);
}

QVariant HsContactListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role != Qt::DisplayRole && role != NameRole && role != AvatarRole)
        return {};
    return std::visit(
        [&](const auto &list) -> QVariant {
            if constexpr (std::is_same_v<std::decay_t<decltype(list)>, std::monostate>)
                return {};
            else
                return field(list[static_cast<size_t>(index.row())], role);
        },
        m_datas);
}

QHash<int, QByteArray> HsContactListModel::roleNames() const
{
    return {{NameRole, "name"}, {AvatarRole, "avatar"}};
}

void HsContactListModel::setDatas(HsContactList datas)
{
    const int before = serviceType();
    beginResetModel();
    m_datas = std::move(datas);
    endResetModel();
    if (serviceType() != before)
        emit serviceTypeChanged();
}
