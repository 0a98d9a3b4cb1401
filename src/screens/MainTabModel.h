#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <array>

// The five buttons of the main screen's tab bar, in tab order: tag, caption, the background
// image of the normal and the highlighted state, and the number of unread entries of the area.
class MainTabModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The tabs belong to the main screen")
public:
    // The tags of the tab buttons, in tab order.
    enum Tag
    {
        StudentTab = 1000,
        NoticesTab = 1001,
        NewsTab = 1002,
        ResourcesTab = 1003,
        ContactsTab = 1004,
    };
    Q_ENUM(Tag)

    enum Role
    {
        TagRole = Qt::UserRole + 1,
        CaptionRole,
        BackgroundRole,
        HighlightedBackgroundRole,
        UnreadCountRole,
    };

    static constexpr int tabCount = 5;

    explicit MainTabModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Gives the tab with `tag` the marked background and every other tab the plain one.
    void markTab(int tag);
    // The number of unread entries the tab `tag` shows on its button (0: none shown).
    void setUnreadCount(int tag, int count);

private:
    struct Tab
    {
        QString caption;
        QString background;
        int unreadCount = 0;
    };
    std::array<Tab, tabCount> m_tabs;
};
