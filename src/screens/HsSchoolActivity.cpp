#include "HsSchoolActivity.h"

HsSchoolActivity::HsSchoolActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                   QObject *parent)
    : HsAreaActivity(port, session, defaults, QStringLiteral("学校通知"), parent)
{}
