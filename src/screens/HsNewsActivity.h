#pragma once

#include "screens/HsAreaActivity.h"

// The school news area.
class HsNewsActivity : public HsAreaActivity
{
    Q_OBJECT
public:
    HsNewsActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults, QObject *parent = nullptr);
};
