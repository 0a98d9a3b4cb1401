#include "ServerProcess.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <libpq-fe.h>
#include <memory>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char **environ;

namespace {

constexpr std::string_view kListeningPrefix = "listening on ";

std::string makeTemporaryFolder()
{
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/hsschool-server-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    return pattern;
}

// Reads up to the first line break; the server writes its address there once it listens.
std::string readFirstLine(int fd)
{
    std::string line;
    for (char c = 0;;) {
        const ssize_t n = read(fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || c == '\n')
            return line;
        line += c;
    }
}

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

struct PgConnDeleter
{
    void operator()(PGconn *conn) const { PQfinish(conn); }
};

// Runs one statement on the cluster's "postgres" database as its superuser.
void administer(const std::string &sql)
{
    const std::unique_ptr<PGconn, PgConnDeleter> conn(
        PQconnectdb(environment("HSSCHOOL_TEST_POSTGRES_URI").c_str()));
    if (PQstatus(conn.get()) != CONNECTION_OK)
        throw std::runtime_error("cannot reach the test cluster: " + std::string(PQerrorMessage(conn.get())));
    PGresult *result = PQexec(conn.get(), sql.c_str());
    const bool done = PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
    if (!done)
        throw std::runtime_error(sql + ": " + PQerrorMessage(conn.get()));
}

// The cluster's address with another database name in place of the last path segment.
std::string addressOfDatabase(const std::string &name)
{
    const std::string admin = environment("HSSCHOOL_TEST_POSTGRES_URI");
    const size_t query = admin.find('?');
    const size_t slash = admin.rfind('/', query);
    return admin.substr(0, slash + 1) + name + (query == std::string::npos ? "" : admin.substr(query));
}

} // namespace

bool TestDatabase::onPostgres()
{
    return environment("HSSCHOOL_TEST_STORE") == "postgres";
}

std::optional<std::string> TestDatabase::unavailable()
{
    if (onPostgres() && environment("HSSCHOOL_TEST_POSTGRES_URI").empty())
        return "no PostgreSQL cluster given: run the tests under scripts/with-postgres.sh (or set "
               "HSSCHOOL_TEST_POSTGRES_URI to a superuser's address)";
    return std::nullopt;
}

bool TestDatabase::controlCluster(const std::string &action)
{
    const std::string ctl = environment("HSSCHOOL_TEST_POSTGRES_CTL");
    return !ctl.empty() && std::system((ctl + " " + action).c_str()) == 0;
}

TestDatabase::TestDatabase(const std::string &folder)
{
    if (!onPostgres()) {
        location_ = folder + "/school.sqlite3";
        return;
    }
    static int made = 0;
    postgresName_ = "hsschool_test_" + std::to_string(getpid()) + "_" + std::to_string(++made);
    // Copying the template's files is quicker than logging them for so small a database.
    administer("CREATE DATABASE " + postgresName_ + " STRATEGY = FILE_COPY");
    location_ = addressOfDatabase(postgresName_);
}

TestDatabase::~TestDatabase()
{
    if (postgresName_.empty())
        return;
    try {
        administer("DROP DATABASE IF EXISTS " + postgresName_ + " WITH (FORCE)");
    } catch (const std::exception &) {
        // The cluster goes away with the test run anyway.
    }
}

ServerProcess::ServerProcess(std::string picturesFolder, std::vector<std::string> options)
    : folder_(makeTemporaryFolder()), ownDatabase_(std::make_unique<TestDatabase>(folder_)),
      database_(ownDatabase_->location()), picturesFolder_(std::move(picturesFolder)),
      options_(std::move(options))
{
    start(true);
}

ServerProcess::ServerProcess(SameDatabaseAs shared)
    : folder_(makeTemporaryFolder()), database_(shared.first.database_ + shared.addressSuffix),
      picturesFolder_(shared.first.picturesFolder_), options_(shared.first.options_)
{
    start(false);
}

ServerProcess::~ServerProcess()
{
    kill();
    ownDatabase_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string ServerProcess::endpoint() const
{
    return baseUrl_ + "/school/services/schoolSvc";
}

std::string ServerProcess::baseUrl() const
{
    return baseUrl_;
}

std::string ServerProcess::databasePath() const
{
    return database_;
}

std::string ServerProcess::logPath() const
{
    return folder_ + "/server.log";
}

void ServerProcess::start(bool seed)
{
    int out[2];
    if (pipe(out) != 0)
        throw std::runtime_error("cannot make a pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logPath().c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);

    std::vector<std::string> args{HSSCHOOL_SERVER_BINARY, "--port", "0", "--host", "127.0.0.1", "--db",
                                  databasePath()};
    if (seed)
        args.push_back("--seed");
    if (!picturesFolder_.empty())
        args.insert(args.end(), {"--pictures", picturesFolder_});
    args.insert(args.end(), options_.begin(), options_.end());
    std::vector<char *> argv;
    for (auto &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const int rc = posix_spawn(&pid_, HSSCHOOL_SERVER_BINARY, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        pid_ = -1;
        throw std::runtime_error("cannot start " + std::string(HSSCHOOL_SERVER_BINARY));
    }
    const std::string line = readFirstLine(out[0]);
    close(out[0]);
    if (line.rfind(kListeningPrefix, 0) != 0)
        throw std::runtime_error(
            "the server did not start: " +
            std::string(std::istreambuf_iterator<char>(std::ifstream(logPath()).rdbuf()), {}));
    baseUrl_ = line.substr(kListeningPrefix.size());
}

void ServerProcess::stop()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void ServerProcess::kill()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void ServerProcess::restart()
{
    stop();
    start(false);
}
