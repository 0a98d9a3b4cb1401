#include "HsContactsActivity.h"

HsContactsActivity::HsContactsActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                       QObject *parent)
    : HsAreaActivity(port, session, defaults, QStringLiteral("通讯录"), parent)
{}
