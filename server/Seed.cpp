#include "Seed.h"

#include "Passwords.h"
#include "Schema.h"
#include "SeedData.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>

namespace {

using namespace seed;

constexpr int kStudentsPerClass = 12;
constexpr int kHomeworkPerClass = 24;
constexpr int kStatesPerClass = 20;
constexpr int kChatsPerClass = 30;
// The days the notices and news of every category are spread over.
constexpr int kNewsTermDays = 110;
constexpr int kFeaturedPerType = 3;
constexpr int kTeacherAvatars = 4;
constexpr int kStudentAvatars = 6;
constexpr const char *kSchoolAddress = "杭州市西湖区文三路88号";

using Clock = std::chrono::system_clock;

// A moment in local time, as documents write dates.
std::string dateOf(Clock::time_point when)
{
    const std::time_t time = Clock::to_time_t(when);
    std::tm local{};
    localtime_r(&time, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

Clock::duration daysOf(double days)
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(days * 86400));
}

// Local time some days before now, as documents write dates.
std::string daysAgo(double days)
{
    return dateOf(Clock::now() - daysOf(days));
}

// A clock time on a day some whole days before today, local time.
Clock::time_point dayAt(int days, int minuteOfDay)
{
    const std::time_t now = Clock::to_time_t(Clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    local.tm_mday -= days;
    local.tm_hour = minuteOfDay / 60;
    local.tm_min = minuteOfDay % 60;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    return Clock::from_time_t(std::mktime(&local));
}

// The date of the `newest`-th newest of a class's items, `perDay` of them a day from yesterday
// back, spread through the day from `firstMinute` on, so that the items keep their order.
std::string dayItemDate(int newest, int perDay, int firstMinute)
{
    const int slot = perDay - 1 - newest % perDay;
    return dateOf(dayAt(newest / perDay + 1, firstMinute + slot * 260 + newest * 7 % 23));
}

std::string concat(std::initializer_list<std::string_view> parts)
{
    std::string text;
    for (const auto part : parts)
        text += part;
    return text;
}

std::string numbered(const char *format, int number)
{
    char text[64];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

void addAccount(Connection &db, std::string_view name, std::string_view role, int personId,
                const char *password)
{
    const PasswordHash hash = hashPassword(password);
    db.run("INSERT INTO accounts (name, role, person_id, salt, hash, iterations) VALUES (?, ?, ?, ?, ?, ?)",
           name, role, personId, hash.salt, hash.hash, hash.iterations);
}

void addSchoolAndClasses(Connection &db)
{
    db.run("INSERT INTO schools (code, name) VALUES (?, ?)", kSchoolCode, kSchoolName);
    for (const auto &cls : kClasses)
        db.run("INSERT INTO classes (id, school_code, name) VALUES (?, ?, ?)", cls.id, kSchoolCode, cls.name);
}

void addTeachers(Connection &db)
{
    int id = 0;
    for (const auto &teacher : kTeachers) {
        ++id;
        db.run("INSERT INTO teachers (id, class_id, real_name, subject, avatar, address) VALUES (?, ?, ?, ?, "
               "?, ?)",
               id, teacher.classId, teacher.realName, teacher.subject,
               numbered("/images/avatars/teacher-%d.png", (id - 1) % kTeacherAvatars + 1),
               concat({kSchoolAddress, kSchoolName}));
        addAccount(db, teacher.account, "teacher", id, kDemoTeacherPassword);
    }
}

std::string studentName(int index)
{
    const size_t n = kSurnames.size();
    return concat({kSurnames[index % n], kGivenNames[(index * 7 + index / n * 3) % kGivenNames.size()]});
}

struct Child
{
    int id;
    int classId;
    // The index of the family's first child: surname, parents, home and telephones come from it.
    int family;
    std::string name;
    std::string account;
};

// Every class's children, numbered from 1 in each class, then the younger sibling.
std::vector<Child> enrolChildren()
{
    std::vector<Child> children;
    int index = 0;
    for (const auto &cls : kClasses)
        for (int number = 1; number <= kStudentsPerClass; ++number, ++index)
            children.push_back({index + 1, cls.id, index, studentName(index), parentAccount(cls.id, number)});
    const int elder = (kSibling.elderClassId - 1) * kStudentsPerClass + kSibling.elderNumber - 1;
    children.push_back({index + 1, kSibling.classId, elder,
                        concat({kSurnames[elder % kSurnames.size()], kSibling.givenName}),
                        parentAccount(kSibling.elderClassId, kSibling.elderNumber + 1)});
    return children;
}

const std::vector<Child> &allChildren()
{
    static const std::vector<Child> children = enrolChildren();
    return children;
}

std::vector<Child> childrenOf(int classId)
{
    std::vector<Child> children;
    for (const Child &child : allChildren())
        if (child.classId == classId)
            children.push_back(child);
    return children;
}

// How the service names a person to others: "王芳老师", "胡佳琪家长".
std::string teacherTitle(int teacher)
{
    return concat({kTeachers[teacher].realName, "老师"});
}

std::string parentTitle(const Child &child)
{
    return child.name + "家长";
}

void addStudent(Connection &db, const Child &child)
{
    const int family = child.family;
    const std::string address =
        concat({"杭州市西湖区", kStreets[family % kStreets.size()], std::to_string(10 + family * 3), "号",
                kCommunities[family % kCommunities.size()]});
    const std::string motherPhone = numbered("1390571%04d", 1200 + family * 37);
    db.run("INSERT INTO students (id, class_id, real_name, avatar, address, urgent_phone, mother_name, "
           "mother_phone, mother_work, father_name, father_phone, father_work) "
           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
           child.id, child.classId, child.name,
           numbered("/images/avatars/student-%d.png", (child.id - 1) % kStudentAvatars + 1), address,
           motherPhone,
           concat({kSurnames[(family + 5) % kSurnames.size()],
                   kMotherGivenNames[family % kMotherGivenNames.size()]}),
           motherPhone, kJobs[family % kJobs.size()],
           concat({kSurnames[family % kSurnames.size()],
                   kFatherGivenNames[(family * 3) % kFatherGivenNames.size()]}),
           numbered("1380571%04d", 3400 + family * 53), kJobs[(family + 5) % kJobs.size()]);
    addAccount(db, child.account, "parent", child.id, kDemoParentPassword);
}

void addStudents(Connection &db)
{
    for (const Child &child : allChildren())
        addStudent(db, child);
}

// Notices and previews greet their readers; reports and articles do not. Neighbouring items take
// different pieces, so no two items near each other read the same.
std::string newsContent(int n, const TypeData &type, const NewsData &item, const std::string &date)
{
    const std::string signature = concat({"\n\n", kSchoolName, "\n", date.substr(0, 10)});
    if (type.typeType == 1)
        return concat({kArticleBodies[n % kArticleBodies.size()], "\n",
                       kArticleBodies[(n + 4) % kArticleBodies.size()], "\n",
                       kArticleClosings[n % kArticleClosings.size()], signature});
    return concat({kNewsOpenings[n % kNewsOpenings.size()], "\n", kNewsBodies[n % kNewsBodies.size()],
                   kNewsBodies[(n + 5) % kNewsBodies.size()], "\n",
                   item.asksReply ? kReplyClosing : kNewsClosings[n % kNewsClosings.size()], signature});
}

// Up to three families of the class have already answered, a few hours after the notice went out;
// some notices have no answers yet. School-wide notices are answered from both classes.
void addReplies(Connection &db, int64_t newsId, int classId, Clock::time_point published)
{
    const int count = static_cast<int>(newsId % 4);
    for (int r = 0; r < count; ++r) {
        const auto children = childrenOf(classId ? classId : r % 2 + 1);
        const Child &child = children[static_cast<size_t>(newsId * 5 + r * 7) % children.size()];
        const auto answered =
            published + std::chrono::minutes(50 + r * 137 + static_cast<int>(newsId % 5) * 23);
        db.run(
            "INSERT INTO news_returns (news_id, user_id, user_role, user_name, user_avatar, content, "
            "return_date) SELECT CAST(? AS INTEGER), id, 1, real_name || '家长', avatar, ?, ? FROM students "
            "WHERE id = ?",
            newsId, kReplies[(newsId + r) % kReplies.size()], dateOf(answered), child.id);
    }
}

// Every category covers one term, spread evenly so that the newest items are a few days old;
// items go out during school hours.
void addNews(Connection &db)
{
    int typeId = 0;
    for (const auto &type : kNewsTypes)
        db.run("INSERT INTO news_types (id, code, name, type_type) VALUES (?, ?, ?, ?)", ++typeId, type.code,
               type.name, type.typeType);
    int n = 0;
    for (size_t t = 0; t < kNewsTypes.size(); ++t) {
        const auto &type = kNewsTypes[t];
        const auto &items = kNewsTitles[t];
        const int count = static_cast<int>(items.size());
        const bool classNotice = type.code == "bjtz";
        for (int i = 0; i < count; ++i, ++n) {
            const auto &item = items[i];
            const int classId = classNotice ? i % 2 + 1 : 0;
            const auto published =
                dayAt((count - i) * kNewsTermDays / count, 450 + (i * 97 + static_cast<int>(t) * 41) % 570);
            const std::string date = dateOf(published);
            db.run("INSERT INTO news (school_code, class_id, type_code, title, content, public_date, "
                   "force_return) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?)",
                   kSchoolCode, classId, type.code, item.title, newsContent(n, type, item, date), date,
                   item.asksReply ? 1 : 0);
            if (item.asksReply)
                addReplies(db, db.lastInsertId(), classId, published);
        }
    }
}

std::string thumbOf(std::string_view picture)
{
    std::string thumb(picture);
    thumb.replace(thumb.find("/resources/"), 11, "/resources/thumbs/");
    return thumb;
}

void addResources(Connection &db)
{
    int typeId = 0;
    for (const auto &type : kResourceTypes)
        db.run("INSERT INTO resource_types (id, code, name) VALUES (?, ?, ?)", ++typeId, type.code,
               type.name);
    int n = 0;
    for (size_t t = 0; t < kResourceTypes.size(); ++t) {
        for (int k = 0; k < static_cast<int>(kResources[t].size()); ++k, ++n) {
            const auto &res = kResources[t][k];
            const auto picture = kResourceTypes[t].pictures[k % 2];
            db.run("INSERT INTO resources (type_code, title, content, picture, thumb, phone, address, "
                   "longitude, "
                   "latitude, web, update_date, featured) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                   kResourceTypes[t].code, res.title,
                   concat({res.feature, "。", kResourceHours[k % kResourceHours.size()],
                           kResourceAdvice[(k + t) % kResourceAdvice.size()]}),
                   picture, thumbOf(picture), numbered("0571-8%07d", 6012345 + n * 4099),
                   concat({"杭州市西湖区", kStreets[(n + t) % kStreets.size()], std::to_string(100 + n * 11),
                           "号"}),
                   120.08 + 0.011 * k + 0.004 * t, 30.21 + 0.007 * k + 0.005 * t,
                   numbered("http://www.example.org/resources/%d", n + 1), daysAgo(n * 1.7 + 0.4),
                   k < kFeaturedPerType ? 1 : 0);
        }
    }
}

// The teacher of a subject in a class, as its index in kTeachers.
int teacherOf(int classId, std::string_view subject)
{
    for (size_t i = 0; i < kTeachers.size(); ++i)
        if (kTeachers[i].classId == classId && kTeachers[i].subject == subject)
            return static_cast<int>(i);
    return 0;
}

void addHomework(Connection &db, int classId)
{
    for (int j = 0; j < kHomeworkPerClass; ++j) {
        const auto &[subject, contents] = kHomework[j % kHomework.size()];
        const int teacher = teacherOf(classId, subject);
        db.run("INSERT INTO homework (class_id, school_code, user_id, teacher_name, content, hw_date) "
               "VALUES (?, ?, ?, ?, ?, ?)",
               classId, kSchoolCode, teacher + 1, kTeachers[teacher].realName,
               contents[(j / kHomework.size() + classId) % contents.size()],
               dayItemDate(kHomeworkPerClass - 1 - j, 1, 16 * 60));
    }
}

// Reports by the class teacher and by the parents of the child they are about, in turn.
void addStates(Connection &db, int classId)
{
    const auto children = childrenOf(classId);
    for (int j = 0; j < kStatesPerClass; ++j) {
        const bool byTeacher = j % 2 == 0;
        const Child &child = children[j % children.size()];
        const std::string author = byTeacher ? teacherTitle(teacherOf(classId, "语文")) : parentTitle(child);
        db.run("INSERT INTO states (class_id, school_code, author, kind, author_role, content, state_date) "
               "VALUES (?, ?, ?, ?, ?, ?, ?)",
               classId, kSchoolCode, author, kStateKinds[j % kStateKinds.size()], byTeacher ? 0 : 1,
               concat({child.name, "：", kStatePhrases[(j + classId) % kStatePhrases.size()]}),
               dayItemDate(kStatesPerClass - 1 - j, 1, 17 * 60));
    }
}

void addChats(Connection &db, int classId)
{
    const auto children = childrenOf(classId);
    for (int j = 0; j < kChatsPerClass; ++j) {
        const bool byTeacher = j % 3 == 0;
        const int teacher = teacherOf(classId, kHomework[j / 3 % kHomework.size()].first);
        const Child &parent = children[(j * 5) % children.size()];
        const int userId = byTeacher ? teacher + 1 : parent.id;
        const std::string name = byTeacher ? teacherTitle(teacher) : parentTitle(parent);
        const auto content = byTeacher ? kTeacherChats[j / 3 % kTeacherChats.size()]
                                       : kParentChats[(j + classId) % kParentChats.size()];
        db.run("INSERT INTO chats (class_id, school_code, user_id, user_name, content, chat_date) "
               "VALUES (?, ?, ?, ?, ?, ?)",
               classId, kSchoolCode, userId, name, content, dayItemDate(kChatsPerClass - 1 - j, 3, 8 * 60));
    }
}

void addTests(Connection &db, int classId, std::mt19937 &random)
{
    for (size_t ti = 0; ti < kTestNames.size(); ++ti) {
        for (size_t s = 0; s < kHomework.size(); ++s) {
            db.run("INSERT INTO tests (class_id, subject_name, test_name, test_date) VALUES (?, ?, ?, ?)",
                   classId, kHomework[s].first, kTestNames[ti], daysAgo(45.0 - 15.0 * ti - s).substr(0, 10));
            const int64_t testId = db.lastInsertId();
            for (const Child &child : childrenOf(classId))
                db.run("INSERT INTO scores (test_id, student_id, score) VALUES (?, ?, ?)", testId, child.id,
                       70.0 + static_cast<double>(random() % 61) / 2.0);
        }
    }
}

void addClassRecords(Connection &db)
{
    std::mt19937 random(20261206);
    for (const auto &cls : kClasses) {
        addHomework(db, cls.id);
        addStates(db, cls.id);
        addChats(db, cls.id);
        addTests(db, cls.id, random);
    }
}

} // namespace

std::string parentAccount(int classId, int number)
{
    return numbered("jz%d", classId * 1000 + number);
}

void seedDemoSchool(Connection &db)
{
    clearAllData(db);
    addSchoolAndClasses(db);
    addTeachers(db);
    addStudents(db);
    addNews(db);
    addResources(db);
    addClassRecords(db);
}
