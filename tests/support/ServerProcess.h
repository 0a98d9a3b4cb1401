#pragma once

#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// The database of a test's server. The tests run against sqlite, or against PostgreSQL when
// HSSCHOOL_TEST_STORE is "postgres": then each object makes a database of its own in the cluster
// that HSSCHOOL_TEST_POSTGRES_URI names (see scripts/with-postgres.sh) and drops it when it goes.
class TestDatabase
{
public:
    // A sqlite file in `folder`, or a fresh PostgreSQL database.
    explicit TestDatabase(const std::string &folder);
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    // What the server's --db takes: the file name or the database's address.
    const std::string &location() const { return location_; }

    static bool onPostgres();
    // Why the tests of this run cannot reach their store (PostgreSQL wanted, no cluster named).
    static std::optional<std::string> unavailable();
    // Stops, starts, freezes or thaws the test cluster (HSSCHOOL_TEST_POSTGRES_CTL); false when
    // that failed.
    static bool controlCluster(const std::string &action);

private:
    std::string location_;
    std::string postgresName_;
};

// A hsschool-server of its own for a test: started on a free loopback port with a fresh
// database (see TestDatabase) holding the demo school, or on another server's database. The
// server's log goes to a file in a temporary folder. The process is killed and the folder (and
// its own database) removed when the object goes away.
class ServerProcess
{
public:
    // Serves the pictures of `picturesFolder` below /images/, or the demo school's when empty;
    // `options` are added to the server's command line.
    explicit ServerProcess(std::string picturesFolder = {}, std::vector<std::string> options = {});
    // A further service process on the database of `first`, which must outlive it; a PostgreSQL
    // address may carry further settings ("?options=...").
    struct SameDatabaseAs
    {
        const ServerProcess &first;
        std::string addressSuffix = {};
    };
    explicit ServerProcess(SameDatabaseAs shared);
    ~ServerProcess();
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    // "http://127.0.0.1:PORT/school/services/schoolSvc"
    std::string endpoint() const;
    // "http://127.0.0.1:PORT"
    std::string baseUrl() const;
    // The server's --db: a sqlite file name or a PostgreSQL address.
    std::string databasePath() const;
    std::string logPath() const;

    // Ends the server as an operator would (SIGTERM) and waits for it.
    void stop();
    // Ends the server at once (SIGKILL), as a crash or a power cut would, and waits for it.
    void kill();
    // Starts the server again on the same database (not seeded again); the port may change.
    void restart();

private:
    void start(bool seed);

    std::string folder_;
    std::unique_ptr<TestDatabase> ownDatabase_;
    std::string database_;
    std::string picturesFolder_;
    std::vector<std::string> options_;
    std::string baseUrl_;
    pid_t pid_ = -1;
};
