#pragma once

#include <memory>
#include <mutex>
#include <string>

struct sqlite3;

// The cache database of the signed-in user: owns the one sqlite connection that every thread
// shares. One instance is the process-wide current one; each successful sign-in loads a new one
// and makes it current, while operations still running on the previous one finish on it.
class HsPreferences
{
public:
    static constexpr const char *databaseFileName = "hsschool.slqite3";
    static constexpr const char *damagedFileSuffix = ".damaged";

    HsPreferences() = default;
    ~HsPreferences();
    HsPreferences(const HsPreferences &) = delete;
    HsPreferences &operator=(const HsPreferences &) = delete;

    // Opens (or creates) the database file in the given directory and creates the cache tables.
    // A file that is not a database, or is damaged, is moved aside with the suffix ".damaged" and
    // a fresh database takes its place. Returns false, with no connection, when that fails too.
    bool load(const std::string &documentsDirectory);

    // The open connection, or null when there is none.
    sqlite3 *getDBConnection() const { return database; }

    // The database every cache accessor uses; null before the first successful sign-in.
    static std::shared_ptr<HsPreferences> current();
    static void setCurrent(std::shared_ptr<HsPreferences> preferences);

private:
    friend class HsDbLease;

    sqlite3 *openDatabase(const std::string &path);
    sqlite3 *replaceDamaged(sqlite3 *db, const std::string &path);
    void closeDatabase();

    sqlite3 *database = nullptr;
    std::mutex m_useMutex;
};

// One operation's use of a database: keeps its HsPreferences alive even if a new sign-in replaces
// the current one meanwhile, and holds its connection's lock, so that the statements and
// transactions of other threads cannot interleave with this operation's on the shared connection.
class HsDbLease
{
public:
    explicit HsDbLease(std::shared_ptr<HsPreferences> preferences = HsPreferences::current());

    // The connection to use, or null when there is no open database.
    sqlite3 *connection() const;

private:
    std::shared_ptr<HsPreferences> m_preferences;
    std::unique_lock<std::mutex> m_lock;
};
