#include "HsSettingActivity.h"

#include "screens/HsAboutUs.h"
#include "screens/HsAdvice.h"
#include "screens/HsModifyPass.h"
#include "screens/HsUserInfo.h"

namespace {

const QString profileKey = QStringLiteral("pro");
const QString otherKey = QStringLiteral("other");
const QString quitKey = QStringLiteral("quit");

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

void HsSettingRows::setSections(const QStringList &keys, const QMap<QString, QStringList> &settings)
{
    beginResetModel();
    m_rows.clear();
    for (int section = 0; section < keys.size(); ++section) {
        const QStringList captions = settings.value(keys[section]);
        for (int row = 0; row < captions.size(); ++row)
            m_rows.push_back(Row{section, keys[section], row, captions[row]});
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
    default:
        return {};
    }
}

QHash<int, QByteArray> HsSettingRows::roleNames() const
{
    return {
        {CaptionRole, "caption"}, {SectionRole, "section"}, {SectionKeyRole, "sectionKey"}, {RowRole, "row"}};
}

HsSettingActivity::HsSettingActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                     QObject *parent)
    : EdBaseViewController(port, QStringLiteral("设置"), parent), m_session(session), m_defaults(defaults)
{
    buildSettings();
}

void HsSettingActivity::buildSettings()
{
    m_settings.insert(profileKey,
                      {QStringLiteral("个人信息"), QStringLiteral("修改密码"), QStringLiteral("关于我们"),
                       QStringLiteral("联系方式"), QStringLiteral("版本信息")});
    m_settings.insert(otherKey, {QStringLiteral("意见反馈")});
    m_settings.insert(quitKey, {QStringLiteral("重新登陆")});
    m_keys = {profileKey, otherKey, quitKey};
    m_tableSetting.setSections(m_keys, m_settings);
}

bool HsSettingActivity::willSelectRow(int section, int row)
{
    const QString key = m_keys.value(section);
    if (key == profileKey)
        performProfileAction(row);
    else if (key == otherKey && row == 0)
        port().push(new HsAdvice(port(), m_session));
    else if (key == quitKey && row == 0)
        port().popToRoot();
    return false;
}

void HsSettingActivity::performProfileAction(int row)
{
    switch (row) {
    case UserInfoRow:
        port().push(new HsUserInfo(port(), m_session));
        break;
    case ModifyPassRow:
        port().push(new HsModifyPass(port(), m_session, m_defaults));
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
