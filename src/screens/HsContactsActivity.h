#pragma once

#include "screens/HsAreaActivity.h"

// The contacts of the class: the student's teachers and classmates.
class HsContactsActivity : public HsAreaActivity
{
    Q_OBJECT
public:
    HsContactsActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                       QObject *parent = nullptr);
};
