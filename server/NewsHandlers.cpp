// School notices, news and the replies to notices.
#include "Handlers.h"

namespace {

constexpr int64_t kTeacherLogin = 0;

struct Replier
{
    std::string name;
    std::string avatar;
};

// A teacher answers as the teacher ("王芳老师"), a parent as the parent of their student
// ("李雨桐家长"), as chat messages and state reports name them.
std::optional<Replier> findReplier(Connection &db, int64_t userId, int64_t loginType)
{
    const bool teacher = loginType == kTeacherLogin;
    Statement stmt = db.prepare(teacher ? "SELECT real_name || '老师', avatar FROM teachers WHERE id = ?"
                                        : "SELECT real_name || '家长', avatar FROM students WHERE id = ?");
    stmt.bindAll(userId);
    if (!stmt.step())
        return std::nullopt;
    return Replier{stmt.text(0), stmt.text(1)};
}

} // namespace

std::string getNews(Call &call)
{
    const Page page = pageOf(call.args);
    // Rows of class 0 are for the whole school; the others only for their own class.
    return listDocument(call.db, "News", {"NewsId", "NewsTitle", "ForceReturn", "PublicDate"},
                        "SELECT id, title, force_return, public_date FROM news "
                        "WHERE school_code = ? AND type_code = ? AND class_id IN (0, ?) "
                        "ORDER BY public_date DESC, id DESC LIMIT ? OFFSET ?",
                        call.args.text("schoolCode"), call.args.text("typeCode"),
                        call.args.integer("classId"), page.limit, page.offset);
}

std::string getNewsById(Call &call)
{
    return recordDocument(call.db, {"NewsId", "NewsTitle", "NewsContent", "PublicDate", "ForceReturn"},
                          "该消息不存在",
                          "SELECT id, title, content, public_date, force_return FROM news WHERE id = ?",
                          call.args.integer("newsId"));
}

std::string getNewsTypes(Call &call)
{
    return listDocument(call.db, "NewsType", {"TypeId", "TypeCode", "TypeName", "TypeType"},
                        "SELECT id, code, name, type_type FROM news_types ORDER BY id");
}

std::string createReturn(Call &call)
{
    const std::string &text = call.args.text("text");
    const int64_t newsId = call.args.integer("newsId");
    const int64_t userId = call.args.integer("userId");
    const int64_t loginType = call.args.integer("loginType");
    if (text.empty())
        return refuse(refusal::kBadArgument, "回复内容不能为空");
    WriteTransaction tx(call.db);
    if (!call.db.scalar("SELECT 1 FROM news WHERE id = ?", newsId))
        return refuse(refusal::kNotFound, "该消息不存在");
    const auto replier = findReplier(call.db, userId, loginType);
    if (!replier)
        return refuse(refusal::kNotFound, "用户不存在");
    call.db.run("INSERT INTO news_returns (news_id, user_id, user_role, user_name, user_avatar, content, "
                "return_date) VALUES (?, ?, ?, ?, ?, ?, ?)",
                newsId, userId, loginType, replier->name, replier->avatar, text, currentDate());
    tx.commit();
    return success();
}

std::string getReturns(Call &call)
{
    const Page page = pageOf(call.args);
    const int64_t userId = call.args.integer("userId");
    return listDocument(
        call.db, "return", {"returnId", "returnContent", "userId", "userName", "userAvatar", "returnDate"},
        "SELECT id, content, user_id, user_name, ? || user_avatar, return_date FROM news_returns "
        "WHERE news_id = ? AND (? = 0 OR user_id = ?) "
        "ORDER BY return_date DESC, id DESC LIMIT ? OFFSET ?",
        call.baseUrl, call.args.integer("newsId"), userId, userId, page.limit, page.offset);
}
