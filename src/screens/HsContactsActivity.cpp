#include "HsContactsActivity.h"

#include "screens/HsOffThread.h"
#include "services/StudentInfoService.h"

HsContactsActivity::HsContactsActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                       QObject *parent)
    : HsAreaActivity(port, session, defaults, QStringLiteral("通讯录"), parent)
{}

// The highlight starts behind 老师; the list stays empty until a category is chosen.
void HsContactsActivity::viewDidLoad()
{
    m_categoryBar.setTitles({QStringLiteral("老师"), QStringLiteral("同学")});
    m_categoryBar.updateMenuBar(teachersCategory);
}

void HsContactsActivity::pressCategory(int tag)
{
    if (!networkAvailable())
        return;
    updateCategory(tag);
}

void HsContactsActivity::updateCategory(int category)
{
    m_categoryBar.updateMenuBar(category);
    if (m_category != category) {
        m_category = category;
        emit categoryChanged();
    }
    if (category != teachersCategory && category != studentsCategory)
        return;
    const int32_t classId = session().user().classId;
    const bool teachers = category == teachersCategory;
    m_bSuccess = false;
    hsRunUnderOverlay(
        port(),
        teachers ? QStringLiteral("获取老师信息, 请稍候...") : QStringLiteral("获取同学信息, 请稍候..."),
        this, [teachers, classId] { return teachers ? doGetTeacher(classId) : doGetStudent(classId); },
        [this](Fetched fetched) { overlayWasHidden(std::move(fetched)); });
}

// Worker thread. Only an answered document with code 0 gives a list (possibly an empty one).
HsContactsActivity::Fetched HsContactsActivity::doGetTeacher(int32_t classId)
{
    StudentInfoResponse response = StudentInfoService().GetMyTeachers(classId);
    if (!response.answered || response.code != 0)
        return std::nullopt;
    return HsContactList(std::move(response.teachers));
}

HsContactsActivity::Fetched HsContactsActivity::doGetStudent(int32_t classId)
{
    StudentInfoResponse response = StudentInfoService().GetMySchoolMates(classId);
    if (!response.answered || response.code != 0)
        return std::nullopt;
    return HsContactList(std::move(response.students));
}

// The list and its kind are replaced together here, on the interface thread.
void HsContactsActivity::overlayWasHidden(Fetched fetched)
{
    if (!fetched)
        return;
    m_bSuccess = true;
    m_datas.setDatas(std::move(*fetched));
}
