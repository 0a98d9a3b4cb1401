#include "HsStudentActivity.h"

HsStudentActivity::HsStudentActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                     QObject *parent)
    : HsAreaActivity(port, session, defaults, QStringLiteral("学生动态"), parent)
{}
