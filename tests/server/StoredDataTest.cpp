// What the server keeps on disk: who may read its database, and how much room pictures take.
#include "ServerFixture.h"
#include "services/LoginService.h"

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *kDatabaseFiles[] = {"", "-wal", "-shm"};

mode_t permissionsOf(const std::string &path)
{
    struct stat status
    {};
    if (::stat(path.c_str(), &status) != 0)
        return 0;
    return status.st_mode & 0777;
}

// Files are created readable by everyone unless the creator says otherwise.
class CommonFileMask
{
public:
    CommonFileMask() : previous_(::umask(022)) {}
    ~CommonFileMask() { ::umask(previous_); }

private:
    mode_t previous_;
};

class DatabaseFileModes : public ::testing::Test
{
protected:
    CommonFileMask mask_;
};

// A running server in write-ahead mode has all three files; none may be readable by others.
TEST_F(DatabaseFileModes, AFreshDatabaseIsTheOwnersAlone)
{
    ServerProcess server;
    for (const char *suffix : kDatabaseFiles)
        EXPECT_EQ(permissionsOf(server.databasePath() + suffix), 0600u) << "file" << suffix;
}

// A database an earlier version left readable, with its log files, is made private on start.
TEST_F(DatabaseFileModes, AReadableDatabaseIsMadePrivateOnStart)
{
    ServerProcess server;
    server.stop();
    for (const char *suffix : kDatabaseFiles) {
        const std::string path = server.databasePath() + suffix;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0) << path;
        ::close(fd);
        ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    }

    server.restart();
    for (const char *suffix : kDatabaseFiles)
        EXPECT_EQ(permissionsOf(server.databasePath() + suffix), 0600u) << "file" << suffix;
    HsServiceConfig::setEndpoint(server.endpoint());
    EXPECT_EQ(LoginService().LoginTeacher(kTeacher, kTeacherPassword).code, 0);
}

} // namespace
