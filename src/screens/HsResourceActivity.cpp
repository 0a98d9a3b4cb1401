#include "HsResourceActivity.h"

HsResourceActivity::HsResourceActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                       QObject *parent)
    : HsAreaActivity(port, session, defaults, QStringLiteral("本地资源"), parent)
{}
