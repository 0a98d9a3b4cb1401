#include "HsNewsActivity.h"

HsNewsActivity::HsNewsActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                               QObject *parent)
    : HsAreaActivity(port, session, defaults, QStringLiteral("新闻资讯"), parent)
{}
