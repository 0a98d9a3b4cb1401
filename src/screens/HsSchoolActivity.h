#pragma once

#include "screens/HsNewsListActivity.h"

// The school notices area: the categories of notices (typeType 0).
class HsSchoolActivity : public HsNewsListActivity
{
    Q_OBJECT
public:
    // The interface file that shows this area, in the main screen or on a screen of its own.
    static constexpr auto interfaceFile = "HsSchoolActivity";

    HsSchoolActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                     QObject *parent = nullptr);

protected:
    std::vector<NewsTypeItem> readCategories() const override;
};
