#include "MainTabModel.h"

namespace {

const QString markedBackground = QStringLiteral("tablehost.png");
const QString plainBackground = QStringLiteral("bg_bottom.png");

} // namespace

MainTabModel::MainTabModel(QObject *parent)
    : QAbstractListModel(parent), m_tabs{{{QStringLiteral("学生"), markedBackground},
                                          {QStringLiteral("通知"), plainBackground},
                                          {QStringLiteral("新闻"), plainBackground},
                                          {QStringLiteral("资源"), plainBackground},
                                          {QStringLiteral("通讯录"), plainBackground}}}
{}

int MainTabModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : tabCount;
}

QVariant MainTabModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Tab &tab = m_tabs[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case CaptionRole:
        return tab.caption;
    case TagRole:
        return StudentTab + index.row();
    case BackgroundRole:
        return tab.background;
    case HighlightedBackgroundRole:
        return markedBackground;
    case UnreadCountRole:
        return tab.unreadCount;
    default:
        return {};
    }
}

QHash<int, QByteArray> MainTabModel::roleNames() const
{
    return {{TagRole, "tag"},
            {CaptionRole, "caption"},
            {BackgroundRole, "background"},
            {HighlightedBackgroundRole, "highlightedBackground"},
            {UnreadCountRole, "unreadCount"}};
}

void MainTabModel::markTab(int tag)
{
    for (int row = 0; row < tabCount; ++row) {
        const QString wanted = StudentTab + row == tag ? markedBackground : plainBackground;
        Tab &tab = m_tabs[static_cast<size_t>(row)];
        if (tab.background == wanted)
            continue;
        tab.background = wanted;
        const QModelIndex changed = index(row);
        emit dataChanged(changed, changed, {BackgroundRole});
    }
}

void MainTabModel::setUnreadCount(int tag, int count)
{
    const int row = tag - StudentTab;
    if (row < 0 || row >= tabCount || m_tabs[static_cast<size_t>(row)].unreadCount == count)
        return;
    m_tabs[static_cast<size_t>(row)].unreadCount = count;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {UnreadCountRole});
}
