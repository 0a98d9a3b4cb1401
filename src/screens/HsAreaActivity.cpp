#include "HsAreaActivity.h"

#include "screens/HsSettingActivity.h"
#include "services/HsServiceLink.h"

HsAreaActivity::HsAreaActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                               const QString &title, QObject *parent)
    : QObject(parent), m_port(port), m_session(session), m_defaults(defaults), m_title(title),
      m_networkCheck([] { return HsServiceLink::networkAvailable(); })
{}

void HsAreaActivity::pressSetting()
{
    m_port.push(new HsSettingActivity(m_port, m_session, m_defaults));
}
