#include "HsNewsActivity.h"

#include "cache/NewsTypeDao.h"
#include "common/HsLog.h"

HsNewsActivity::HsNewsActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                               QObject *parent)
    : HsNewsListActivity(port, session, defaults, QStringLiteral("新闻资讯"), SearchKind::News, parent)
{}

std::vector<NewsTypeItem> HsNewsActivity::readCategories() const
{
    return NewsTypeDao().initSelectNews();
}

void HsNewsActivity::willOpenNews(const NewsItem &news)
{
    hsLog("%d", news.newsId);
}
