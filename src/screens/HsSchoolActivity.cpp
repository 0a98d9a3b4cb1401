#include "HsSchoolActivity.h"

#include "cache/NewsTypeDao.h"

HsSchoolActivity::HsSchoolActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                   QObject *parent)
    : HsNewsListActivity(port, session, defaults, QStringLiteral("学校通知"), SearchKind::Notice, parent)
{}

std::vector<NewsTypeItem> HsSchoolActivity::readCategories() const
{
    return NewsTypeDao().initSelectSchools();
}
