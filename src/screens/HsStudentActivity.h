#pragma once

#include "screens/HsAreaActivity.h"

// The student record area: homework, test scores, state reports and the home-school chat.
class HsStudentActivity : public HsAreaActivity
{
    Q_OBJECT
public:
    HsStudentActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                      QObject *parent = nullptr);
};
