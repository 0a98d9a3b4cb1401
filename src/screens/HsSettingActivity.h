#pragma once

#include "screens/EdBaseViewController.h"
#include "screens/HsAccountSwitcher.h"
#include "screens/HsUserSession.h"
#include "settings/HsDefaults.h"

#include <QAbstractListModel>
#include <QMap>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <vector>

// One row of a settings section: its caption and, for a remembered account, a second line and
// whether it is the signed-in account.
struct HsSettingLine
{
    QString caption;
    QString detail;
    bool current = false;
};

// A section of the settings list: its key and its rows, in display order.
struct HsSettingSection
{
    QString key;
    QList<HsSettingLine> lines;
};

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
        DetailRole,
        CurrentRole,
    };

    explicit HsSettingRows(QObject *parent = nullptr);

    void setSections(const QList<HsSettingSection> &sections);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    struct Row
    {
        int section;
        QString sectionKey;
        int row;
        HsSettingLine line;
    };
    std::vector<Row> m_rows;
};

// The settings list: the signed-in user's profile, the password change, the About, contact and
// version texts, feedback, the remembered accounts to switch to ("切换账号", when there are
// any), and the way back to the login screen.
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
    // The key of the section of remembered accounts.
    static constexpr auto accountsKey = "accounts";

    HsSettingActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                      QObject *parent = nullptr);

    QAbstractItemModel *tableSetting() { return &m_tableSetting; }

    // Section keys in display order, and the row captions of each section.
    const QStringList &keys() const { return m_keys; }
    const QMap<QString, QStringList> &settings() const { return m_settings; }

    // Performs the action of the tapped row. Always refuses the selection (returns false), so no
    // row stays highlighted.
    // A tap on a remembered account other than the signed-in one switches to it.
    Q_INVOKABLE bool willSelectRow(int section, int row);

    // Forgets the remembered account of the row in the accounts section.
    Q_INVOKABLE void forgetAccount(int row);

private:
    void buildSettings();
    HsSettingSection accountsSection() const;
    void switchAccount(int row);
    bool isSignedIn(const HsRememberedAccount &account) const;
    void performProfileAction(int row);
    void pushAbout(int type);

    HsUserSession &m_session;
    HsDefaults &m_defaults;
    QStringList m_keys;
    QMap<QString, QStringList> m_settings;
    QList<HsRememberedAccount> m_accounts;
    HsSettingRows m_tableSetting;
};
