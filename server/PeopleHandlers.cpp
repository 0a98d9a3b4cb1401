// Accounts, people of a class, pictures of people and feedback.
#include "Handlers.h"
#include "Passwords.h"

#include <openssl/evp.h>
#include <optional>

namespace {

constexpr std::string_view kWrongLogin = "用户名或密码错误";

struct Account
{
    std::string role;
    int64_t personId = 0;
    PasswordHash password;
};

std::optional<Account> findAccount(Connection &db, const std::string &name)
{
    Statement stmt =
        db.prepare("SELECT role, person_id, salt, hash, iterations FROM accounts WHERE name = ?");
    stmt.bindAll(name);
    if (!stmt.step())
        return std::nullopt;
    return Account{stmt.text(0), stmt.integer(1),
                   PasswordHash{stmt.blob(2), stmt.blob(3), static_cast<int>(stmt.integer(4))}};
}

// The account when the name exists, has the role and the password matches.
std::optional<Account> signIn(Call &call, std::string_view role)
{
    auto account = findAccount(call.db, call.args.text("userName"));
    if (!account || account->role != role || !passwordMatches(call.args.text("password"), account->password))
        return std::nullopt;
    return account;
}

std::optional<Blob> decodeBase64(const std::string &text)
{
    EVP_ENCODE_CTX *ctx = EVP_ENCODE_CTX_new();
    EVP_DecodeInit(ctx);
    Blob out(text.size() / 4 * 3 + 4);
    int written = 0;
    int tail = 0;
    const bool ok =
        EVP_DecodeUpdate(ctx, out.data(), &written, reinterpret_cast<const unsigned char *>(text.data()),
                         static_cast<int>(text.size())) >= 0 &&
        EVP_DecodeFinal(ctx, out.data() + written, &tail) == 1;
    EVP_ENCODE_CTX_free(ctx);
    if (!ok)
        return std::nullopt;
    out.resize(static_cast<size_t>(written + tail));
    return out;
}

// "png" or "jpg" by the picture's first bytes; nothing for anything else.
std::optional<std::string_view> pictureExtension(const Blob &bytes)
{
    static const Blob png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (bytes.size() > png.size() && std::equal(png.begin(), png.end(), bytes.begin()))
        return "png";
    if (bytes.size() > 3 && bytes[0] == 0xff && bytes[1] == 0xd8 && bytes[2] == 0xff)
        return "jpg";
    return std::nullopt;
}

// Stores an uploaded picture as the avatar of a teacher or student and answers its address.
std::string storeAvatar(Call &call, std::string_view table, std::string_view idName)
{
    const auto bytes = decodeBase64(call.args.text("image"));
    const auto extension = bytes ? pictureExtension(*bytes) : std::nullopt;
    if (!extension)
        return refuse(refusal::kBadArgument, "图片格式无法识别，请上传 PNG 或 JPEG 图片");
    const int64_t personId = call.args.integer(idName);
    WriteTransaction tx(call.db);
    if (!call.db.scalar("SELECT 1 FROM " + std::string(table) + " WHERE id = ?", personId))
        return refuse(refusal::kNotFound, "用户不存在");
    call.db.run("INSERT INTO uploads (content_type, bytes) VALUES (?, ?)",
                *extension == "png" ? "image/png" : "image/jpeg", *bytes);
    const std::string path =
        "/images/uploads/" + std::to_string(call.db.lastInsertId()) + "." + std::string(*extension);
    call.db.run("UPDATE " + std::string(table) + " SET avatar = ? WHERE id = ?", path, personId);
    tx.commit();
    ResultDocument doc;
    doc.field("Image", call.baseUrl + path);
    return doc.finish();
}

} // namespace

std::string loginTeacher(Call &call)
{
    const auto account = signIn(call, "teacher");
    if (!account)
        return refuse(refusal::kWrongCredentials, kWrongLogin);
    return recordDocument(
        call.db,
        {"TeacherId", "TeacherName", "RealName", "Avatar", "ClassId", "ClassName", "SchoolCode", "Address"},
        "用户不存在",
        "SELECT t.id, ?, t.real_name, ? || t.avatar, c.id, c.name, c.school_code, t.address "
        "FROM teachers t JOIN classes c ON c.id = t.class_id WHERE t.id = ?",
        call.args.text("userName"), call.baseUrl, account->personId);
}

std::string loginStudent(Call &call)
{
    const auto account = signIn(call, "parent");
    if (!account)
        return refuse(refusal::kWrongCredentials, kWrongLogin);
    return recordDocument(
        call.db,
        {"StudentId", "StudentName", "RealName", "Avatar", "ClassId", "ClassName", "SchoolCode", "Address",
         "UrgentPhone", "MotherName", "MotherPhone", "MotherWork", "FatherName", "FatherPhone", "FatherWork"},
        "用户不存在",
        "SELECT s.id, ?, s.real_name, ? || s.avatar, c.id, c.name, c.school_code, s.address, "
        "s.urgent_phone, s.mother_name, s.mother_phone, s.mother_work, s.father_name, "
        "s.father_phone, s.father_work "
        "FROM students s JOIN classes c ON c.id = s.class_id WHERE s.id = ?",
        call.args.text("userName"), call.baseUrl, account->personId);
}

std::string changePassword(Call &call)
{
    const std::string &name = call.args.text("userName");
    const std::string &newPassword = call.args.text("newPassword");
    if (newPassword.empty())
        return refuse(refusal::kBadArgument, "新密码不能为空");
    const auto account = findAccount(call.db, name);
    if (!account || !passwordMatches(call.args.text("oldPassword"), account->password))
        return refuse(refusal::kWrongCredentials, "原密码错误");
    const PasswordHash hash = hashPassword(newPassword);
    WriteTransaction tx(call.db);
    call.db.run("UPDATE accounts SET salt = ?, hash = ?, iterations = ? WHERE name = ?", hash.salt, hash.hash,
                hash.iterations, name);
    tx.commit();
    return success();
}

std::string setTeacherAvatar(Call &call)
{
    return storeAvatar(call, "teachers", "teacherId");
}

std::string setStudentAvatar(Call &call)
{
    return storeAvatar(call, "students", "studentId");
}

std::string setStudentInfo(Call &call)
{
    WriteTransaction tx(call.db);
    call.db.run("UPDATE students SET info_confirmed = ? WHERE id = ?", currentDate(),
                call.args.integer("studentId"));
    if (call.db.changes() == 0)
        return refuse(refusal::kNotFound, "学生不存在");
    tx.commit();
    return success();
}

std::string getStudents(Call &call)
{
    return listDocument(call.db, "Student", {"StudentId", "UserName", "Avatar"},
                        "SELECT id, real_name, ? || avatar FROM students WHERE class_id = ? ORDER BY id",
                        call.baseUrl, call.args.integer("classId"));
}

std::string getTeachers(Call &call)
{
    return listDocument(call.db, "Teacher", {"TeacherId", "TeacherName", "Avatar"},
                        "SELECT id, real_name, ? || avatar FROM teachers WHERE class_id = ? ORDER BY id",
                        call.baseUrl, call.args.integer("classId"));
}

std::string createFeedback(Call &call)
{
    const std::string &text = call.args.text("text");
    if (text.empty())
        return refuse(refusal::kBadArgument, "反馈内容不能为空");
    WriteTransaction tx(call.db);
    call.db.run("INSERT INTO feedback (user_id, login_type, content, created) VALUES (?, ?, ?, ?)",
                call.args.integer("userId"), call.args.integer("loginType"), text, currentDate());
    tx.commit();
    return success();
}
