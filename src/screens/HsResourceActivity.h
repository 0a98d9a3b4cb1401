#pragma once

#include "screens/HsAreaActivity.h"

// The catalogue of local resources.
class HsResourceActivity : public HsAreaActivity
{
    Q_OBJECT
public:
    HsResourceActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                       QObject *parent = nullptr);
};
