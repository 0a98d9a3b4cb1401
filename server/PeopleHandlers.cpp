// Accounts, people of a class, pictures of people and feedback.
#include "Handlers.h"
#include "Passwords.h"
#include "SignInThrottle.h"

#include <algorithm>
#include <charconv>
#include <chrono>
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

// The account a password check let in, or the refusal to answer instead.
struct Verification
{
    std::optional<Account> account;
    std::string refusal;
};

std::string tooManyAttempts(SignInThrottle::Clock::duration wait)
{
    const auto minutes = std::chrono::ceil<std::chrono::minutes>(wait).count();
    return refuse(refusal::kTooManyAttempts,
                  "密码尝试次数过多，请 " + std::to_string(std::max<int64_t>(minutes, 1)) + " 分钟后再试");
}

// Lets the account in when the name exists, has the role (any, when the role is empty) and the
// password matches. A name without an account, or of another role, is checked against a digest
// with the same work, so that every refusal takes as long. Repeated failures for a name or from an
// address are refused for a while without a check.
Verification verify(Call &call, const std::string &name, std::string_view password, std::string_view role,
                    std::string_view wrongText)
{
    SignInThrottle &throttle = call.signIns;
    if (const auto wait = throttle.admit(call.db, name, call.peerAddress))
        return {std::nullopt, tooManyAttempts(*wait)};
    auto account = findAccount(call.db, name);
    const bool matches = passwordMatches(password, account ? account->password : unmatchablePasswordHash());
    if (!account || !matches || (!role.empty() && account->role != role))
        return {std::nullopt, refuse(refusal::kWrongCredentials, wrongText)};
    throttle.succeeded(call.db, name, call.peerAddress);
    return {std::move(account), {}};
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

constexpr std::string_view kUploadsPath = "/images/uploads/";

// Avatars are shown 44 points wide, at most 132 pixels on the densest screens; even a 256-pixel
// photograph kept as PNG stays well below this. One picture is kept per person.
constexpr size_t kMaxPictureBytes = 256 * 1024;
constexpr std::string_view kPictureTooLarge = "图片太大，请上传不超过 256 KB 的图片";

uint32_t bigEndian32(const Blob &bytes, size_t at)
{
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 |
           uint32_t{bytes[at + 3]};
}

bool holdsAt(const Blob &bytes, size_t at, std::string_view expected)
{
    return at + expected.size() <= bytes.size() &&
           std::equal(expected.begin(), expected.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; });
}

// A PNG whose chunks follow one another from the header chunk, through at least one chunk of
// image data, to the end chunk that closes the file. The pixels themselves are not decoded.
bool isWholePng(const Blob &bytes)
{
    constexpr std::string_view signature{"\x89PNG\r\n\x1a\n", 8};
    constexpr size_t kChunkFrame = 12; // length, type and checksum around the chunk's data
    if (!holdsAt(bytes, 0, signature) || !holdsAt(bytes, signature.size() + 4, "IHDR"))
        return false;
    bool imageData = false;
    for (size_t at = signature.size(); at + kChunkFrame <= bytes.size();) {
        const size_t length = bigEndian32(bytes, at);
        if (length > bytes.size() - at - kChunkFrame)
            return false;
        imageData = imageData || holdsAt(bytes, at + 4, "IDAT");
        const size_t next = at + kChunkFrame + length;
        if (holdsAt(bytes, at + 4, "IEND"))
            return imageData && next == bytes.size();
        at = next;
    }
    return false;
}

// A JPEG whose marker segments follow one another from the start marker to the start of the
// scan, with a frame header among them, and that ends with the end-of-image marker.
bool isWholeJpeg(const Blob &bytes)
{
    constexpr unsigned char kMarker = 0xff, kStartOfScan = 0xda;
    if (bytes.size() < 4 || bytes[0] != kMarker || bytes[1] != 0xd8 || bytes[bytes.size() - 2] != kMarker ||
        bytes.back() != 0xd9)
        return false;
    const auto isFrameHeader = [](unsigned char code) {
        return code >= 0xc0 && code <= 0xcf && code != 0xc4 && code != 0xc8 && code != 0xcc;
    };
    bool frame = false;
    for (size_t at = 2; at + 4 <= bytes.size();) {
        if (bytes[at] != kMarker)
            return false;
        const unsigned char code = bytes[at + 1];
        if (code == kMarker) { // a fill byte before the marker
            ++at;
            continue;
        }
        if (code == kStartOfScan)
            return frame;
        frame = frame || isFrameHeader(code);
        at += 2 + (size_t{bytes[at + 2]} << 8 | bytes[at + 3]);
    }
    return false;
}

struct PictureKind
{
    std::string_view extension;
    std::string_view contentType;
};

// The kind of a whole PNG or JPEG picture; nothing for anything else.
std::optional<PictureKind> pictureKind(const Blob &bytes)
{
    if (isWholePng(bytes))
        return PictureKind{"png", "image/png"};
    if (isWholeJpeg(bytes))
        return PictureKind{"jpg", "image/jpeg"};
    return std::nullopt;
}

// The uploaded picture a picture address names, if it names one.
std::optional<int64_t> uploadNamedBy(std::string_view path)
{
    if (!path.starts_with(kUploadsPath))
        return std::nullopt;
    path.remove_prefix(kUploadsPath.size());
    int64_t id = 0;
    const auto [end, error] = std::from_chars(path.data(), path.data() + path.size(), id);
    if (error != std::errc() || end == path.data())
        return std::nullopt;
    return id;
}

// The picture address of a teacher or student, if there is such a person. The statement is done
// with before the caller commits: one still reading would keep the engine from copying the
// write-ahead log back into the database, and the log would grow with every upload.
std::optional<std::string> avatarOf(Connection &db, std::string_view table, int64_t personId)
{
    Statement stmt = db.prepare("SELECT avatar FROM " + std::string(table) + " WHERE id = ?");
    if (!stmt.bindAll(personId).step())
        return std::nullopt;
    return stmt.text(0);
}

// Stores an uploaded picture as the avatar of a teacher or student and answers its address. The
// picture replaces the person's last upload, which is deleted. The new one gets a row of its own
// before the old one goes, so its number (and address) was never used before: clients keep
// pictures by address.
std::string storeAvatar(Call &call, std::string_view table, std::string_view idName)
{
    const std::string &text = call.args.text("image");
    // Base64 takes four characters for three bytes; line breaks add a few more.
    if (text.size() / 4 * 3 > 2 * kMaxPictureBytes)
        return refuse(refusal::kBadArgument, kPictureTooLarge);
    const auto bytes = decodeBase64(text);
    if (bytes && bytes->size() > kMaxPictureBytes)
        return refuse(refusal::kBadArgument, kPictureTooLarge);
    const auto kind = bytes ? pictureKind(*bytes) : std::nullopt;
    if (!kind)
        return refuse(refusal::kBadArgument, "图片格式无法识别，请上传 PNG 或 JPEG 图片");
    const int64_t personId = call.args.integer(idName);
    WriteTransaction tx(call.db);
    const auto previous = avatarOf(call.db, table, personId);
    if (!previous)
        return refuse(refusal::kNotFound, "用户不存在");
    call.db.run("INSERT INTO uploads (content_type, bytes) VALUES (?, ?)", kind->contentType, *bytes);
    const std::string path = std::string(kUploadsPath) + std::to_string(call.db.lastInsertId()) + "." +
                             std::string(kind->extension);
    call.db.run("UPDATE " + std::string(table) + " SET avatar = ? WHERE id = ?", path, personId);
    if (const auto replaced = uploadNamedBy(*previous)) {
        call.db.run("DELETE FROM uploads WHERE id = ?", *replaced);
        // Replies keep the address of their author's picture at the time; an uploaded one is the
        // author's alone, so they follow it to the new one.
        call.db.run("UPDATE news_returns SET user_avatar = ? WHERE user_avatar = ?", path, *previous);
    }
    tx.commit();
    ResultDocument doc;
    doc.field("Image", call.baseUrl + path);
    return doc.finish();
}

} // namespace

std::string loginTeacher(Call &call)
{
    const auto verified =
        verify(call, call.args.text("userName"), call.args.text("password"), "teacher", kWrongLogin);
    if (!verified.account)
        return verified.refusal;
    return recordDocument(
        call.db,
        {"TeacherId", "TeacherName", "RealName", "Avatar", "ClassId", "ClassName", "SchoolCode", "Address"},
        "用户不存在",
        "SELECT t.id, ?, t.real_name, ? || t.avatar, c.id, c.name, c.school_code, t.address "
        "FROM teachers t JOIN classes c ON c.id = t.class_id WHERE t.id = ?",
        call.args.text("userName"), call.baseUrl, verified.account->personId);
}

std::string loginStudent(Call &call)
{
    const auto verified =
        verify(call, call.args.text("userName"), call.args.text("password"), "parent", kWrongLogin);
    if (!verified.account)
        return verified.refusal;
    return recordDocument(
        call.db,
        {"StudentId", "StudentName", "RealName", "Avatar", "ClassId", "ClassName", "SchoolCode", "Address",
         "UrgentPhone", "MotherName", "MotherPhone", "MotherWork", "FatherName", "FatherPhone", "FatherWork"},
        "用户不存在",
        "SELECT s.id, ?, s.real_name, ? || s.avatar, c.id, c.name, c.school_code, s.address, "
        "s.urgent_phone, s.mother_name, s.mother_phone, s.mother_work, s.father_name, "
        "s.father_phone, s.father_work "
        "FROM students s JOIN classes c ON c.id = s.class_id WHERE s.id = ?",
        call.args.text("userName"), call.baseUrl, verified.account->personId);
}

std::string changePassword(Call &call)
{
    const std::string &name = call.args.text("userName");
    const std::string &newPassword = call.args.text("newPassword");
    if (newPassword.empty())
        return refuse(refusal::kBadArgument, "新密码不能为空");
    const auto verified = verify(call, name, call.args.text("oldPassword"), {}, "原密码错误");
    if (!verified.account)
        return verified.refusal;
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
