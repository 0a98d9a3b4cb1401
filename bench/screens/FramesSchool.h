#pragma once

#include "BenchPhotos.h"
#include "CannedSchool.h"

#include <QList>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThread>
#include <memory>
#include <string>

// The school the frame benchmark signs in to: a teacher, 1,000 notices answered a second after a
// pull, and 200 photos whose pictures each come 150 ms after they are asked for, served from a
// thread of its own so that serving never shows in the frames of the interface thread.

constexpr int kNotices = 1000;
constexpr int kPhotos = 200;
constexpr int kDistinctPhotos = 8;
constexpr QSize kPhotoSize(1200, 800);
constexpr int kCallMilliseconds = 30;
constexpr int kRefreshMilliseconds = 1000;
constexpr int kPictureMilliseconds = 150;

inline QString field(const char *name, const QString &text)
{
    return QStringLiteral("<%1>%2</%1>").arg(QLatin1String(name), text.toHtmlEscaped());
}

inline QString result(const QString &items)
{
    return QStringLiteral("<Result><Code>0</Code><Error></Error>") + items + QStringLiteral("</Result>");
}

inline QString teacher()
{
    return result(field("TeacherId", QStringLiteral("4")) + field("TeacherName", QStringLiteral("wangfang")) +
                  field("RealName", QStringLiteral("王芳")) + field("ClassId", QStringLiteral("7")) +
                  field("ClassName", QStringLiteral("三年级二班")) +
                  field("SchoolCode", QStringLiteral("demo")));
}

inline QString newsTypes()
{
    return result(
        QStringLiteral("<NewsType><TypeId>1</TypeId><TypeCode>xxtz</TypeCode><TypeName>学校通知</TypeName>"
                       "<TypeType>0</TypeType></NewsType>"
                       "<NewsType><TypeId>2</TypeId><TypeCode>xwdt</TypeCode><TypeName>校园新闻</TypeName>"
                       "<TypeType>1</TypeType></NewsType>"));
}

inline QString resourceTypes()
{
    return result(QStringLiteral("<ResourceType><TypeId>1</TypeId><TypeCode>gy</TypeCode>"
                                 "<TypeName>公园</TypeName></ResourceType>"));
}

// Notices of titles long and short and of many different characters, as a school's notices
// are over a few years, every third asking for a reply.
inline QString notices(int count)
{
    static const QStringList subjects{
        QStringLiteral("期末考试安排"),
        QStringLiteral("关于做好冬季校园安全工作的通知"),
        QStringLiteral("家长会"),
        QStringLiteral("寒假放假时间及假期作业安排的说明"),
        QStringLiteral("春季运动会报名"),
        QStringLiteral("流感高发季节预防措施"),
        QStringLiteral("图书馆开放时间调整"),
        QStringLiteral("秋游活动费用收取及注意事项"),
        QStringLiteral("校服征订"),
        QStringLiteral("新学期教材领取与课程表"),
        QStringLiteral("防溺水安全教育致家长的一封信"),
        QStringLiteral("科技节作品征集"),
        QStringLiteral("午餐菜单公示"),
        QStringLiteral("国庆节放假安排及出行提醒"),
        QStringLiteral("视力筛查结果反馈"),
        QStringLiteral("书法比赛获奖名单"),
        QStringLiteral("雨雪天气上下学接送须知"),
        QStringLiteral("课后服务报名"),
        QStringLiteral("艺术团招募新成员"),
        QStringLiteral("家庭教育讲座邀请函"),
    };
    QString items;
    for (int i = 0; i < count; ++i) {
        items += QStringLiteral("<News>") + field("NewsId", QString::number(5000 - i)) +
                 field("NewsTitle",
                       QStringLiteral("%1（第%2号）").arg(subjects[i % subjects.size()]).arg(count - i)) +
                 field("ForceReturn", QString::number(i % 3 == 0 ? 1 : 0)) +
                 field("PublicDate", QStringLiteral("2026-%1-%2 08:30").arg(1 + i % 12).arg(1 + i % 28)) +
                 QStringLiteral("</News>");
    }
    return result(items);
}

inline QString photoResources(const CannedSchool &school, int count)
{
    QString items;
    for (int i = 0; i < count; ++i) {
        items += QStringLiteral("<Resource>") + field("ResourceId", QString::number(i + 1)) +
                 field("ResourceTitle", QStringLiteral("城市公园 %1").arg(i + 1)) +
                 field("ThumbImage", school.pictureAddress(i)) + QStringLiteral("</Resource>");
    }
    return result(items);
}

// Lists have one page: the first holds them all, and later pages are empty.
inline QString documentFor(const SentCall &call, const CannedSchool &school)
{
    const bool firstPage = call.arguments.size() >= 2 && call.arguments[call.arguments.size() - 2] == "1";
    if (call.method == "loginTeacher")
        return teacher();
    if (call.method == "getNewsTypes")
        return newsTypes();
    if (call.method == "getResourceTypes")
        return resourceTypes();
    if (call.method == "getNews")
        return notices(firstPage ? kNotices : 0);
    if (call.method == "getPhotoResources")
        return photoResources(school, firstPage ? kPhotos : 0);
    return result({});
}

// The canned school on a thread of its own, serving from that thread's event loop.
class SchoolThread
{
public:
    SchoolThread()
    {
        QList<QByteArray> photos;
        for (int i = 0; i < kDistinctPhotos; ++i)
            photos << benchPhotoJpeg(i, kPhotoSize, 85);
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [this, photos] {
                m_school = std::make_unique<CannedSchool>(
                    documentFor, photos,
                    CannedSchool::Delays{kCallMilliseconds,
                                         {{QStringLiteral("getNews"), kRefreshMilliseconds}},
                                         kPictureMilliseconds});
            },
            Qt::BlockingQueuedConnection);
    }

    ~SchoolThread()
    {
        QMetaObject::invokeMethod(
            &m_context, [this] { m_school.reset(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    std::string endpoint() const { return m_school->endpoint(); }

private:
    QThread m_thread;
    QObject m_context;
    std::unique_ptr<CannedSchool> m_school;
};
