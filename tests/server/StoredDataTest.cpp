// What the server keeps on disk: who may read its database, and how much room pictures take.
#include "Database.h"
#include "ServerTestSupport.h"
#include "services/LoginService.h"
#include "services/NewsService.h"
#include "services/StudentInfoService.h"
#include "services/UploadAvatarService.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <sys/stat.h>

namespace {

constexpr const char *kDatabaseFiles[] = {"", "-wal", "-shm"};

// A running server in write-ahead mode has all three files, none readable by others; files an
// earlier version left readable are made private on start.
TEST(DatabaseFileModes, TheDatabaseIsTheOwnersAloneAndMadeSoOnStart)
{
    SKIP_UNLESS_SQLITE();
    const mode_t previousMask = ::umask(022); // files readable by everyone unless their creator says not
    ServerProcess server;
    const auto expectPrivate = [&server](const char *when) {
        for (const char *suffix : kDatabaseFiles)
            EXPECT_EQ(std::filesystem::status(server.databasePath() + suffix).permissions(),
                      std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
                << when << " file" << suffix;
    };
    expectPrivate("fresh");
    server.stop();
    for (const char *suffix : kDatabaseFiles) {
        std::ofstream(server.databasePath() + suffix, std::ios::app).flush();
        std::filesystem::permissions(server.databasePath() + suffix, std::filesystem::perms(0644));
    }
    server.restart();
    expectPrivate("restarted");
    HsServiceConfig::setEndpoint(server.endpoint());
    EXPECT_EQ(LoginService().LoginTeacher(kTeacher, kTeacherPassword).code, 0);
    ::umask(previousMask);
}

std::string bytesOfBase64(const std::string &text)
{
    std::string bytes(text.size() / 4 * 3, '\0');
    const int written =
        EVP_DecodeBlock(reinterpret_cast<unsigned char *>(bytes.data()),
                        reinterpret_cast<const unsigned char *>(text.data()), static_cast<int>(text.size()));
    bytes.resize(static_cast<size_t>(written) - std::count(text.end() - 2, text.end(), '='));
    return bytes;
}

// An 8 by 8 pixel JPEG, as an image editor writes one.
const std::string kSmallJpeg = bytesOfBase64(
    "/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAA0JCgsKCA0LCgsODg0PEyAVExISEyccHhcgLikxMC4pLSwzOko+MzZGNywtQFdBRkxO"
    "UlNSMj5aYVpQYEpRUk//2wBDAQ4ODhMREyYVFSZPNS01T09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09PT09P"
    "T09PT09PT0//wAARCAAIAAgDASIAAhEBAxEB/8QAFQABAQAAAAAAAAAAAAAAAAAAAAX/xAAUEAEAAAAAAAAAAAAAAAAAAAAA/8QA"
    "FQEBAQAAAAAAAAAAAAAAAAAABQb/xAAUEQEAAAAAAAAAAAAAAAAAAAAA/9oADAMBAAIRAxEAPwCaAohj/9k=");

// The picture with a text chunk of `size` bytes after its header chunk. The chunk's checksum is
// left zero: only the chunks' framing is looked at.
std::string withTextChunk(const std::string &png, size_t size)
{
    constexpr size_t kAfterHeader = 8 + 12 + 13;
    std::string chunk{static_cast<char>(size >> 24), static_cast<char>(size >> 16),
                      static_cast<char>(size >> 8), static_cast<char>(size)};
    chunk += "tEXt" + std::string(size, 'a') + std::string(4, '\0');
    return png.substr(0, kAfterHeader) + chunk + png.substr(kAfterHeader);
}

class UploadedPictures : public ServerFixture
{
protected:
    static std::string demoPicture(const std::string &path)
    {
        const auto picture = http().Get(path);
        return picture && picture->status == 200 ? picture->body : std::string();
    }

    // The picture at an address the service answered, or nothing when it answers 404.
    static std::optional<std::string> served(const std::string &address)
    {
        const auto answer = http().Get(address.substr(server().baseUrl().size()));
        if (!answer || answer->status != 200)
            return std::nullopt;
        return answer->body;
    }

    static int64_t storedUploads()
    {
        return openConnection(server().databasePath())->scalar("SELECT count(*) FROM uploads").value_or(-1);
    }

    static std::optional<std::string> studentAvatar(int32_t classId, int32_t studentId)
    {
        for (const auto &student : StudentInfoService().GetMySchoolMates(classId).students)
            if (student.studentId == studentId)
                return student.avatar;
        return std::nullopt;
    }
};

// Each upload replaces the last: one picture per person is kept, every new one has an address
// never used before (clients keep pictures by address), and the old addresses are gone. The last
// is served as it came, and is the picture the person's sign-in, classmates and replies show: a
// reply posted with an earlier upload follows to the new one rather than point at a deleted one.
TEST_F(UploadedPictures, EachPersonKeepsOnlyTheirLastPicture)
{
    const std::string pictures[] = {kSmallJpeg, demoPicture("/images/avatars/student-3.png")};
    ASSERT_FALSE(pictures[1].empty());
    const int newsId = NewsService().GetNews(kSchoolCode, 1, "xxtz", 1).items.at(0).newsId;
    const int64_t before = storedUploads();
    std::set<std::string> addresses;
    std::string last;
    for (int upload = 0; upload < 20; ++upload) {
        const auto answer = UploadAvatarService().UploadStudentAvatar(1, base64Of(pictures[upload % 2]));
        ASSERT_TRUE(answer.code == 0 && answer.image) << "upload " << upload;
        EXPECT_TRUE(addresses.insert(*answer.image).second) << "address used twice: " << *answer.image;
        last = *answer.image;
        EXPECT_TRUE(upload > 0 || NewsService().PostReturn(newsId, "已阅，头像", 1, 1).code == 0);
    }
    EXPECT_EQ(storedUploads(), before + 1);
    for (const std::string &address : addresses)
        EXPECT_EQ(served(address).has_value(), address == last) << address;
    EXPECT_EQ(served(last), pictures[1]);
    EXPECT_EQ(http().Get(last.substr(server().baseUrl().size()))->get_header_value("Content-Type"),
              "image/png");
    EXPECT_EQ(studentAvatar(1, 1), last);
    EXPECT_EQ(LoginService().LoginStudent(kParent, kParentPassword).item->avatar, last);
    const auto replies = NewsService().GetReturns(newsId, 1, 1).items;
    ASSERT_FALSE(replies.empty());
    EXPECT_TRUE(replies.front().rtContent == "已阅，头像" && replies.front().userAvatar == last);
}

// However many pictures come in, the files on disk hold about one per person (and a write-ahead
// log of a few megabytes that is written over again and again).
TEST_F(UploadedPictures, ManyUploadsKeepTheFilesOnDiskBounded)
{
    SKIP_UNLESS_SQLITE();
    const std::string picture = withTextChunk(demoPicture("/images/avatars/student-2.png"), 200 * 1024);
    const auto onDisk = [] {
        std::error_code missing;
        uintmax_t bytes = 0;
        for (const char *suffix : kDatabaseFiles)
            if (const auto size = std::filesystem::file_size(server().databasePath() + suffix, missing);
                !missing)
                bytes += size;
        return bytes;
    };
    const uintmax_t before = onDisk();
    for (int upload = 0; upload < 40; ++upload)
        ASSERT_EQ(UploadAvatarService().UploadStudentAvatar(9, base64Of(picture)).code, 0)
            << "upload " << upload;
    EXPECT_LT(onDisk() - before, 6u * 1024 * 1024) << "40 uploads of " << picture.size() << " bytes";
}

// Earlier versions kept every picture ever uploaded; a start forgets those no one shows.
TEST_F(UploadedPictures, PicturesNoOneShowsAreForgottenOnStart)
{
    const int64_t before = storedUploads();
    server().stop();
    {
        const auto db = openConnection(server().databasePath());
        const auto upload = [&db] {
            db->run("INSERT INTO uploads (content_type, bytes) VALUES ('image/jpeg', ?)",
                    Blob(kSmallJpeg.begin(), kSmallJpeg.end()));
            return "/images/uploads/" + std::to_string(db->lastInsertId()) + ".jpg";
        };
        upload();
        db->run("UPDATE students SET avatar = ? WHERE id = 8", upload());
        db->run("UPDATE news_returns SET user_avatar = ? WHERE id = (SELECT min(id) FROM news_returns)",
                upload());
        upload();
    }
    server().restart();
    HsServiceConfig::setEndpoint(server().endpoint());

    EXPECT_EQ(storedUploads(), before + 2);
    const auto avatar = studentAvatar(1, 8);
    ASSERT_TRUE(avatar);
    EXPECT_EQ(served(*avatar), kSmallJpeg);
}

// Only a whole PNG or JPEG no larger than the limit is kept; anything else changes nothing.
TEST_F(UploadedPictures, WhatIsNotAWholePictureOfAFewHundredKilobytesIsRefused)
{
    const std::string png = demoPicture("/images/avatars/student-4.png");
    ASSERT_GT(png.size(), 100u);
    struct Case
    {
        const char *what;
        std::string bytes;
        bool kept;
    };
    const Case cases[] = {
        {"a whole PNG", png, true},
        {"a whole JPEG", kSmallJpeg, true},
        {"a PNG just under the limit", withTextChunk(png, 250 * 1024 - png.size()), true},
        {"a PNG over the limit", withTextChunk(png, 260 * 1024 - png.size()), false},
        {"a PNG without its end chunk", png.substr(0, png.size() - 12), false},
        {"a PNG cut inside a chunk", png.substr(0, png.size() / 2), false},
        {"a PNG with bytes after its end", png + "trailing", false},
        {"PNG signature then other bytes", png.substr(0, 8) + std::string(500, 'x'), false},
        {"a JPEG without its end marker", kSmallJpeg.substr(0, kSmallJpeg.size() - 2), false},
        {"JPEG start then other bytes", kSmallJpeg.substr(0, 4) + std::string(500, 'x') + "\xff\xd9", false},
        {"text", "not a picture", false},
    };
    EXPECT_EQ(UploadAvatarService().UploadTeacherAvatar(1, base64Of("not a picture")).code, 3);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto avatarBefore = studentAvatar(1, 7);
        const int64_t uploadsBefore = storedUploads();
        const auto answer = UploadAvatarService().UploadStudentAvatar(7, base64Of(c.bytes));
        EXPECT_EQ(answer.code, c.kept ? 0 : 3);
        EXPECT_TRUE(c.kept || (answer.error && !answer.error->empty() &&
                               studentAvatar(1, 7) == avatarBefore && storedUploads() == uploadsBefore));
    }
}

} // namespace
