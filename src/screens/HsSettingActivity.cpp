#include "HsSettingActivity.h"

#include "screens/HsAboutUs.h"
#include "screens/HsAdvice.h"
#include "screens/HsModifyPass.h"
#include "screens/HsUserInfo.h"

namespace {

const QString profileKey = QStringLiteral("pro");
const QString otherKey = QStringLiteral("other");
const QString quitKey = QStringLiteral("quit");
const QString accountsKey = QString::fromLatin1(HsSettingActivity::accountsKey);

enum ProfileRow
{
    UserInfoRow,
    ModifyPassRow,
    AboutRow,
    ContactRow,
    VersionRow,
};

} // namespace

HsSettingRows::HsSettingRows(QObject *parent) : QAbstractListModel(parent) {}

void HsSettingRows::setSections(const QStringList &keys, const QMap<QString, QStringList> &settings,
                                const QMap<QString, QStringList> &details, const QMap<QString, int> &current)
{
    beginResetModel();
    m_rows.clear();
    for (int section = 0; section < keys.size(); ++section) {
        const QString &key = keys[section];
        const QStringList captions = settings.value(key);
        for (int row = 0; row < captions.size(); ++row)
            m_rows.push_back(Row{section, key, row, captions[row], details.value(key).value(row),
                                 current.value(key, -1) == row});
    }
    endResetModel();
}

int HsSettingRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant HsSettingRows::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case CaptionRole:
        return row.caption;
    case SectionRole:
        return row.section;
    case SectionKeyRole:
        return row.sectionKey;
    case RowRole:
        return row.row;
    case DetailRole:
        return row.detail;
    case CurrentRole:
        return row.current;
    default:
        return {};
    }
}

QHash<int, QByteArray> HsSettingRows::roleNames() const
{
    return {{CaptionRole, "caption"}, {SectionRole, "section"}, {SectionKeyRole, "sectionKey"},
            {RowRole, "row"},         {DetailRole, "detail"},   {CurrentRole, "current"}};
}

HsSettingActivity::HsSettingActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                     QObject *parent)
    : EdBaseViewController(port, QStringLiteral("设置"), parent), m_session(session), m_defaults(defaults)
{
    buildSettings();
}

void HsSettingActivity::buildSettings()
{
    m_settings.clear();
    m_settings.insert(profileKey,
                      {QStringLiteral("个人信息"), QStringLiteral("修改密码"), QStringLiteral("关于我们"),
                       QStringLiteral("联系方式"), QStringLiteral("版本信息")});
    m_settings.insert(otherKey, {QStringLiteral("意见反馈")});
    m_settings.insert(quitKey, {QStringLiteral("重新登陆")});
    m_keys = {profileKey, otherKey, quitKey};

    // Only a sign-in that can switch makes the remembered accounts worth listing.
    m_accounts =
        m_session.accountSwitcher() ? HsAccountBook(m_defaults).accounts() : QList<HsRememberedAccount>{};
    QMap<QString, QStringList> details;
    QMap<QString, int> current;
    if (!m_accounts.isEmpty()) {
        QStringList captions;
        for (qsizetype row = 0; row < m_accounts.size(); ++row) {
            const HsRememberedAccount &account = m_accounts[row];
            captions << (account.displayName.isEmpty() ? account.account : account.displayName);
            details[accountsKey] << (account.teacher ? QStringLiteral("教师 ") : QStringLiteral("家长 ")) +
                                        account.account;
            if (isSignedIn(account))
                current[accountsKey] = static_cast<int>(row);
        }
        m_settings.insert(accountsKey, captions);
        m_keys.insert(m_keys.indexOf(quitKey), accountsKey);
    }
    m_tableSetting.setSections(m_keys, m_settings, details, current);
}

bool HsSettingActivity::isSignedIn(const HsRememberedAccount &account) const
{
    return m_session.loginItem() && account.teacher == (m_session.loginType() == 0) &&
           account.account.toStdString() == m_session.accountName();
}

bool HsSettingActivity::willSelectRow(int section, int row)
{
    const QString key = m_keys.value(section);
    if (key == profileKey)
        performProfileAction(row);
    else if (key == otherKey && row == 0)
        port().push(new HsAdvice(port(), m_session));
    else if (key == accountsKey)
        switchAccount(row);
    else if (key == quitKey && row == 0)
        port().popToRoot();
    return false;
}

void HsSettingActivity::switchAccount(int row)
{
    HsAccountSwitcher *switcher = m_session.accountSwitcher();
    if (row < 0 || row >= m_accounts.size() || !switcher || isSignedIn(m_accounts[row]))
        return;
    switcher->switchTo(m_accounts[row]);
}

void HsSettingActivity::forgetAccount(int row)
{
    HsAccountSwitcher *switcher = m_session.accountSwitcher();
    if (row < 0 || row >= m_accounts.size() || !switcher)
        return;
    switcher->forget(m_accounts[row], {});
    buildSettings();
}

void HsSettingActivity::performProfileAction(int row)
{
    switch (row) {
    case UserInfoRow:
        port().push(new HsUserInfo(port(), m_session));
        break;
    case ModifyPassRow:
        port().push(new HsModifyPass(port(), m_session));
        break;
    case AboutRow:
        pushAbout(HsAboutUs::aboutType);
        break;
    case ContactRow:
        pushAbout(HsAboutUs::contactType);
        break;
    case VersionRow:
        pushAbout(HsAboutUs::versionType);
        break;
    default:
        break;
    }
}

void HsSettingActivity::pushAbout(int type)
{
    port().push(new HsAboutUs(port(), type));
}
