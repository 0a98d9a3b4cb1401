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

void HsSettingRows::setSections(const QList<HsSettingSection> &sections)
{
    beginResetModel();
    m_rows.clear();
    for (int section = 0; section < sections.size(); ++section) {
        const HsSettingSection &of = sections[section];
        for (int row = 0; row < of.lines.size(); ++row)
            m_rows.push_back(Row{section, of.key, row, of.lines[row]});
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
        return row.line.caption;
    case SectionRole:
        return row.section;
    case SectionKeyRole:
        return row.sectionKey;
    case RowRole:
        return row.row;
    case DetailRole:
        return row.line.detail;
    case CurrentRole:
        return row.line.current;
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
    const auto captions = [](const QStringList &texts) {
        QList<HsSettingLine> lines;
        for (const QString &text : texts)
            lines.append({text, QString(), false});
        return lines;
    };
    QList<HsSettingSection> sections{
        {profileKey,
         captions({QStringLiteral("个人信息"), QStringLiteral("修改密码"), QStringLiteral("关于我们"),
                   QStringLiteral("联系方式"), QStringLiteral("版本信息")})},
        {otherKey, captions({QStringLiteral("意见反馈")})}};
    // Only a sign-in that can switch makes the remembered accounts worth listing.
    m_accounts =
        m_session.accountSwitcher() ? HsAccountBook(m_defaults).accounts() : QList<HsRememberedAccount>{};
    if (!m_accounts.isEmpty())
        sections.append(accountsSection());
    sections.append({quitKey, captions({QStringLiteral("重新登陆")})});

    m_keys.clear();
    m_settings.clear();
    for (const HsSettingSection &section : sections) {
        m_keys << section.key;
        for (const HsSettingLine &line : section.lines)
            m_settings[section.key] << line.caption;
    }
    m_tableSetting.setSections(sections);
}

HsSettingSection HsSettingActivity::accountsSection() const
{
    HsSettingSection section{accountsKey, {}};
    for (const HsRememberedAccount &account : m_accounts)
        section.lines.append(
            {account.displayName.isEmpty() ? account.account : account.displayName,
             (account.teacher ? QStringLiteral("教师 ") : QStringLiteral("家长 ")) + account.account,
             isSignedIn(account)});
    return section;
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
