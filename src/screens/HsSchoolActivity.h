#pragma once

#include "screens/HsAreaActivity.h"

// The school notices area.
class HsSchoolActivity : public HsAreaActivity
{
    Q_OBJECT
public:
    HsSchoolActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                     QObject *parent = nullptr);
};
