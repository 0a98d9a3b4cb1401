#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

struct sqlite3;

// The cache database of the signed-in user: owns the one sqlite connection that every thread
// shares. One instance is the process-wide current one; each successful sign-in loads a new one
// and makes it current, while operations still running on the previous one finish on it.
//
// Each account has a file of its own (see accountFileName). A file also records whose lists it
// holds (the categories are everyone's), and a sign-in as another account empties them before
// anything is read: the single file of earlier versions was shared that way.
class HsPreferences
{
public:
    // The single file that earlier versions shared between the accounts of a device.
    static constexpr const char *databaseFileName = "hsschool.slqite3";
    static constexpr const char *damagedFileSuffix = ".damaged";
    // The account whose news and resource lists the file holds: one row, or none in a file from
    // before accounts were recorded.
    static constexpr const char *ownerCreateStatement =
        "create table if not exists cache_owner (account text not null)";

    HsPreferences() = default;
    ~HsPreferences();
    HsPreferences(const HsPreferences &) = delete;
    HsPreferences &operator=(const HsPreferences &) = delete;

    // Opens (or creates) the database file in the given directory and creates the cache tables.
    // A file that is not a database, or is damaged, is moved aside with the suffix ".damaged" and
    // a fresh database takes its place. Returns false, with no connection, when that fails too.
    // The folder is made readable by its owner alone, and so are the file and its journals.
    //
    // Opened for an account, the file's lists become that account's: lists of another account, or
    // of nobody on record, are emptied first (false, with no connection, when that fails), and
    // lists written through this connection are stored only while the file is still the
    // account's. Opened for no account, the file's owner is left as it is and not checked.
    //
    // `fileName` names the file in the directory. When an account's own file does not exist yet
    // and the earlier shared file holds that account's lists, the shared file becomes its file.
    bool load(const std::string &documentsDirectory, const std::optional<std::string> &account = std::nullopt,
              const std::string &fileName = databaseFileName);

    // The file of one account: "hsschool-teacher-NAME.slqite3" or "hsschool-parent-NAME.slqite3",
    // where NAME is the account name with every byte but ASCII letters, digits, '-' and '_'
    // written as %XX. Two accounts never share a file, and no name reaches outside the folder.
    static std::string accountFileName(bool teacher, const std::string &accountName);

    // The open connection, or null when there is none.
    sqlite3 *getDBConnection() const { return database; }
    // The account the database was opened for, if any.
    const std::optional<std::string> &account() const { return m_account; }

    // The database every cache accessor uses; null before the first successful sign-in.
    static std::shared_ptr<HsPreferences> current();
    static void setCurrent(std::shared_ptr<HsPreferences> preferences);
    // The database the calling thread's operations use: the one bound to the thread (see
    // HsDbThreadBinding), otherwise the current one.
    static std::shared_ptr<HsPreferences> forThisThread();

private:
    friend class HsDbLease;

    sqlite3 *openDatabase(const std::string &path);
    sqlite3 *replaceDamaged(sqlite3 *db, const std::string &path);
    void closeDatabase();

    sqlite3 *database = nullptr;
    std::optional<std::string> m_account;
    std::mutex m_useMutex;
};

// Binds the calling thread to one database for as long as it lives: the thread's cache
// operations use it (also when it is null: no database) whatever becomes current meanwhile, so
// work begun under one sign-in never writes into the database of the next.
class HsDbThreadBinding
{
public:
    explicit HsDbThreadBinding(std::shared_ptr<HsPreferences> preferences);
    ~HsDbThreadBinding();
    HsDbThreadBinding(const HsDbThreadBinding &) = delete;
    HsDbThreadBinding &operator=(const HsDbThreadBinding &) = delete;

private:
    std::optional<std::shared_ptr<HsPreferences>> m_outer;
};

// One operation's use of a database: keeps its HsPreferences alive even if a new sign-in replaces
// the current one meanwhile, and holds its connection's lock, so that the statements and
// transactions of other threads cannot interleave with this operation's on the shared connection.
class HsDbLease
{
public:
    explicit HsDbLease(std::shared_ptr<HsPreferences> preferences = HsPreferences::forThisThread());

    // The connection to use, or null when there is no open database.
    sqlite3 *connection() const;

    // False when the database was opened for an account and the file now holds another
    // account's lists (a later sign-in has claimed it). Ask inside the transaction that writes.
    bool holdsOwnLists() const;

private:
    std::shared_ptr<HsPreferences> m_preferences;
    std::unique_lock<std::mutex> m_lock;
};
