#pragma once

#include "screens/HsNewsListActivity.h"

// The news area: the categories of news (any typeType but 0). Opening a headline writes its id
// to the diagnostic log.
class HsNewsActivity : public HsNewsListActivity
{
    Q_OBJECT
public:
    // The interface file that shows this area, in the main screen or on a screen of its own.
    static constexpr auto interfaceFile = "HsNewsActivity";

    HsNewsActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults, QObject *parent = nullptr);

protected:
    std::vector<NewsTypeItem> readCategories() const override;
    void willOpenNews(const NewsItem &news) override;
};
