#pragma once

#include "screens/EdBaseViewController.h"
#include "screens/HsUserSession.h"
#include "settings/HsDefaults.h"

#include <QAbstractListModel>
#include <QMap>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <vector>

// The rows of the settings list, flattened for a list view: each row knows its section (index and
// key) and its caption, so the view can group rows by section.
class HsSettingRows : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role
    {
        CaptionRole = Qt::UserRole + 1,
        SectionRole,
        SectionKeyRole,
        RowRole,
    };

    explicit HsSettingRows(QObject *parent = nullptr);

    void setSections(const QStringList &keys, const QMap<QString, QStringList> &settings);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    struct Row
    {
        int section;
        QString sectionKey;
        int row;
        QString caption;
    };
    std::vector<Row> m_rows;
};

// The settings list: the signed-in user's profile, the password change, the About, contact and
// version texts, feedback, and the way back to the login screen.
class HsSettingActivity : public EdBaseViewController
{
    Q_OBJECT
    // Named apart from the interface file "HsSettingActivity.qml" that shows it.
    QML_NAMED_ELEMENT(HsSettingActivityController)
    QML_UNCREATABLE("Screens are made by their controllers")
    Q_PROPERTY(QAbstractItemModel *tableSetting READ tableSetting CONSTANT)
public:
    // The interface file that shows this screen.
    static constexpr auto interfaceFile = "HsSettingActivity";

    HsSettingActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                      QObject *parent = nullptr);

    QAbstractItemModel *tableSetting() { return &m_tableSetting; }

    // Section keys in display order, and the row captions of each section.
    const QStringList &keys() const { return m_keys; }
    const QMap<QString, QStringList> &settings() const { return m_settings; }

    // Performs the action of the tapped row. Always refuses the selection (returns false), so no
    // row stays highlighted.
    Q_INVOKABLE bool willSelectRow(int section, int row);

private:
    void buildSettings();
    void performProfileAction(int row);
    void pushAbout(int type);

    HsUserSession &m_session;
    HsDefaults &m_defaults;
    QStringList m_keys;
    QMap<QString, QStringList> m_settings;
    HsSettingRows m_tableSetting;
};
