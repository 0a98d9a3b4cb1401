// The student's record: homework, tests and scores, daily state reports and the class chat.
#include "Handlers.h"

namespace {

bool classExists(Connection &db, int64_t classId)
{
    return db.scalar("SELECT 1 FROM classes WHERE id = ?", classId).has_value();
}

constexpr std::string_view kNoSuchClass = "班级不存在";
constexpr std::string_view kEmptyText = "内容不能为空";

// The name shown with a post by this user: a teacher's or student's real name, or nothing.
std::string realNameOf(Connection &db, int64_t userId, std::string_view table)
{
    Statement stmt = db.prepare("SELECT real_name FROM " + std::string(table) + " WHERE id = ?");
    stmt.bindAll(userId);
    return stmt.step() ? stmt.text(0) : std::string();
}

} // namespace

std::string getHomeWorks(Call &call)
{
    const Page page = pageOf(call.args);
    return listDocument(call.db, "HomeWork", {"HomeWorkId", "TeacherName", "Content", "HomeWorkDate"},
                        "SELECT id, teacher_name, content, hw_date FROM homework WHERE class_id = ? "
                        "ORDER BY hw_date DESC, id DESC LIMIT ? OFFSET ?",
                        call.args.integer("classId"), page.limit, page.offset);
}

std::string createHomeWork(Call &call)
{
    const std::string &text = call.args.text("text");
    const int64_t classId = call.args.integer("classId");
    if (text.empty())
        return refuse(refusal::kBadArgument, kEmptyText);
    const int64_t userId = call.args.integer("userId");
    WriteTransaction tx(call.db);
    if (!classExists(call.db, classId))
        return refuse(refusal::kNotFound, kNoSuchClass);
    call.db.run("INSERT INTO homework (class_id, school_code, user_id, teacher_name, content, hw_date) "
                "VALUES (?, ?, ?, ?, ?, ?)",
                classId, call.args.text("schoolCode"), userId, realNameOf(call.db, userId, "teachers"), text,
                currentDate());
    tx.commit();
    return success();
}

std::string getTestSubjects(Call &call)
{
    const Page page = pageOf(call.args);
    return listDocument(call.db, "Subject", {"SubjectId", "SubjectName", "TestName", "TestDate", "AvgScore"},
                        "SELECT t.id, t.subject_name, t.test_name, t.test_date, "
                        "round(coalesce(avg(s.score), 0), 1) FROM tests t "
                        "LEFT JOIN scores s ON s.test_id = t.id WHERE t.class_id = ? GROUP BY t.id "
                        "ORDER BY t.test_date DESC, t.id DESC LIMIT ? OFFSET ?",
                        call.args.integer("classId"), page.limit, page.offset);
}

std::string getTestScores(Call &call)
{
    return listDocument(call.db, "Score", {"StudentName", "StudentScore"},
                        "SELECT st.real_name, s.score FROM scores s JOIN students st ON st.id = s.student_id "
                        "WHERE s.test_id = ? ORDER BY s.score DESC, st.id",
                        call.args.integer("testId"));
}

std::string getStudentScores(Call &call)
{
    return listDocument(call.db, "Score", {"SubjectName", "ScoreAvg", "StudentScore", "TestDate"},
                        "SELECT t.subject_name, "
                        "(SELECT round(avg(o.score), 1) FROM scores o WHERE o.test_id = t.id), "
                        "s.score, t.test_date FROM scores s JOIN tests t ON t.id = s.test_id "
                        "WHERE s.student_id = ? ORDER BY t.test_date DESC, t.id DESC",
                        call.args.integer("studentId"));
}

std::string getStdStates(Call &call)
{
    const Page page = pageOf(call.args);
    return listDocument(call.db, "State", {"Type", "TeacherName", "Content", "Date"},
                        "SELECT kind, author, content, state_date FROM states WHERE class_id = ? "
                        "ORDER BY state_date DESC, id DESC LIMIT ? OFFSET ?",
                        call.args.integer("classId"), page.limit, page.offset);
}

std::string createStdState(Call &call)
{
    const std::string &text = call.args.text("text");
    const int64_t classId = call.args.integer("classId");
    if (text.empty())
        return refuse(refusal::kBadArgument, kEmptyText);
    WriteTransaction tx(call.db);
    if (!classExists(call.db, classId))
        return refuse(refusal::kNotFound, kNoSuchClass);
    call.db.run("INSERT INTO states (class_id, school_code, author, kind, author_role, content, state_date) "
                "VALUES (?, ?, ?, ?, ?, ?, ?)",
                classId, call.args.text("schoolCode"), call.args.text("userName"), call.args.text("kind"),
                call.args.integer("authorRole"), text, currentDate());
    tx.commit();
    return success();
}

std::string getChats(Call &call)
{
    const Page page = pageOf(call.args);
    return listDocument(call.db, "Chat", {"UserId", "UserName", "Content", "ChatDate"},
                        "SELECT user_id, user_name, content, chat_date FROM chats WHERE class_id = ? "
                        "ORDER BY chat_date DESC, id DESC LIMIT ? OFFSET ?",
                        call.args.integer("classId"), page.limit, page.offset);
}

std::string postChat(Call &call)
{
    const std::string &text = call.args.text("text");
    const std::string &userName = call.args.text("userName");
    const int64_t classId = call.args.integer("classId");
    if (text.empty())
        return refuse(refusal::kBadArgument, kEmptyText);
    WriteTransaction tx(call.db);
    if (!classExists(call.db, classId))
        return refuse(refusal::kNotFound, kNoSuchClass);
    const int64_t userId =
        call.db.scalar("SELECT person_id FROM accounts WHERE name = ?", userName).value_or(0);
    call.db.run("INSERT INTO chats (class_id, school_code, user_id, user_name, content, chat_date) "
                "VALUES (?, ?, ?, ?, ?, ?)",
                classId, call.args.text("schoolCode"), userId, userName, text, currentDate());
    tx.commit();
    return success();
}
