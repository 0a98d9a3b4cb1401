#include "cache/HsPreferences.h"

#include "cache/HsSql.h"
#include "cache/ListStampDao.h"
#include "cache/NewsDao.h"
#include "cache/NewsMarkDao.h"
#include "cache/NewsTypeDao.h"
#include "cache/OutboxDao.h"
#include "cache/ResourceDao.h"
#include "cache/ResourceTypeDao.h"
#include "cache/SearchDao.h"
#include "common/HsLog.h"

#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace {

// How long a statement waits for another connection to the same file (an earlier sign-in's,
// still finishing) to release its write lock.
constexpr int busyTimeoutMilliseconds = 5000;

std::mutex currentMutex;
std::shared_ptr<HsPreferences> currentPreferences;

// The database of the thread's binding, when it has one.
thread_local std::optional<std::shared_ptr<HsPreferences>> threadPreferences;

constexpr const char *journalSuffixes[] = {"-journal", "-wal", "-shm"};
constexpr auto ownerOnlyFile = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

bool isDamageCode(int resultCode)
{
    const int primary = resultCode & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// True when the file is not a database or its pages fail sqlite's quick check. A database that is
// merely busy or locked by another connection is not damaged.
bool looksDamaged(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    int result = sqlite3_prepare_v2(db, "pragma quick_check", -1, &stmt, nullptr);
    bool findingsClean = true;
    int rows = 0;
    while (result == SQLITE_OK || result == SQLITE_ROW) {
        result = sqlite3_step(stmt);
        if (result == SQLITE_ROW) {
            const auto *finding = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
            findingsClean = findingsClean && ++rows == 1 && finding && std::string(finding) == "ok";
        }
    }
    sqlite3_finalize(stmt);
    return isDamageCode(result) || (result == SQLITE_DONE && !findingsClean);
}

// Keeps the unusable file for inspection and clears the way for a fresh one. A rollback journal
// left beside it belongs to the old file and must not be applied to the new one.
bool moveAside(const std::string &path)
{
    std::error_code error;
    std::filesystem::rename(path, path + HsPreferences::damagedFileSuffix, error);
    if (error)
        return false;
    std::filesystem::remove(path + "-journal", error);
    return true;
}

void createTables(sqlite3 *db)
{
    for (const char *statement :
         {ResourceDao::createStatement, ResourceTypeDao::createStatement, NewsDao::createStatement,
          NewsTypeDao::createStatement, NewsMarkDao::createStatement, ListStampDao::createStatement,
          SearchDao::createStatement, OutboxDao::createStatement, HsPreferences::ownerCreateStatement})
        hsSqlExecute(db, statement);
}

// The cache is the signed-in user's business alone: the folder is closed to other local users,
// and the database and any journal already beside it (from an earlier version, say) are made
// readable by the owner only. The file is created that way before sqlite opens it, and the
// journals sqlite makes later take the database's mode.
void restrictFolder(const std::string &directory)
{
    std::error_code error;
    std::filesystem::permissions(directory, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, error);
}

void restrictFiles(const std::string &path)
{
    const int created = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (created >= 0)
        ::close(created);
    std::error_code error;
    std::filesystem::permissions(path, ownerOnlyFile, std::filesystem::perm_options::replace, error);
    for (const char *suffix : journalSuffixes) {
        if (std::filesystem::exists(path + suffix, error))
            std::filesystem::permissions(path + suffix, ownerOnlyFile, std::filesystem::perm_options::replace,
                                         error);
    }
}

std::optional<std::string> listsOwner(sqlite3 *db)
{
    std::optional<std::string> owner;
    hsSqlQuery(db, "select account from cache_owner", {},
               [&](sqlite3_stmt *stmt) { owner = hsColumnText(stmt, 0); });
    return owner;
}

// Makes the file's lists the account's. Lists that belong to someone else, or to nobody on
// record, are emptied in the same transaction, with the times they were stored and what a search
// could find in them; the categories are everyone's and stay, and so do posts waiting to be sent,
// which are kept per account.
bool claimLists(sqlite3 *db, const std::string &account)
{
    return hsSqlTransaction(db, [&] {
               if (listsOwner(db) == account)
                   return 0;
               for (const char *statement :
                    {"delete from ed_news", "delete from ed_resource", "delete from list_stamp",
                     "delete from search_entry", "delete from cache_owner"}) {
                   if (hsSqlExecute(db, statement) < 0)
                       return -1;
               }
               return hsSqlExecuteBound(db, "insert into cache_owner values(?1)", {account});
           }) >= 0;
}

// The owner recorded in a database file, read without changing it; none when there is no such
// file or it records none.
std::optional<std::string> ownerOfFile(const std::string &path)
{
    sqlite3 *db = nullptr;
    std::optional<std::string> owner;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
        owner = listsOwner(db);
    sqlite3_close_v2(db);
    return owner;
}

// Moves the file and the journals beside it to their new name; a journal must go with its
// database, or sqlite would not find it to finish an interrupted write.
void renameWithJournals(const std::string &from, const std::string &to)
{
    std::error_code error;
    std::filesystem::rename(from, to, error);
    if (error) {
        hsLog("cant open database: %s", to.c_str());
        return;
    }
    for (const char *suffix : journalSuffixes) {
        if (std::filesystem::exists(from + suffix, error))
            std::filesystem::rename(from + suffix, to + suffix, error);
    }
}

// The shared file of earlier versions becomes the account's own file when it holds the account's
// lists and the account has no file yet.
void adoptSharedFile(const std::filesystem::path &directory, const std::string &account,
                     const std::string &path)
{
    const std::string shared = (directory / HsPreferences::databaseFileName).string();
    std::error_code error;
    if (path == shared || std::filesystem::exists(path, error) || !std::filesystem::exists(shared, error))
        return;
    if (ownerOfFile(shared) == account)
        renameWithJournals(shared, path);
}

bool isFileNameSafe(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
           byte == '-' || byte == '_';
}

} // namespace

std::string HsPreferences::accountFileName(bool teacher, const std::string &accountName)
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    std::string name = teacher ? "hsschool-teacher-" : "hsschool-parent-";
    for (const char character : accountName) {
        const auto byte = static_cast<unsigned char>(character);
        if (isFileNameSafe(byte)) {
            name += character;
        } else {
            name += '%';
            name += hexDigits[byte >> 4];
            name += hexDigits[byte & 0x0f];
        }
    }
    return name + ".slqite3";
}

HsPreferences::~HsPreferences()
{
    closeDatabase();
}

bool HsPreferences::load(const std::string &documentsDirectory, const std::optional<std::string> &account,
                         const std::string &fileName)
{
    std::lock_guard lock(m_useMutex);
    closeDatabase();
    m_account = account;
    restrictFolder(documentsDirectory);
    const std::string path = (std::filesystem::path(documentsDirectory) / fileName).string();
    if (account)
        adoptSharedFile(documentsDirectory, *account, path);
    sqlite3 *db = openDatabase(path);
    if (db && looksDamaged(db))
        db = replaceDamaged(db, path);
    if (db)
        createTables(db);
    // Rather no cache than another account's lists.
    if (db && account && !claimLists(db, *account)) {
        hsLog("cant open database: %s", path.c_str());
        sqlite3_close_v2(db);
        db = nullptr;
    }
    if (db)
        SearchDao::indexCachedHeadlines(db);
    database = db;
    return database != nullptr;
}

sqlite3 *HsPreferences::openDatabase(const std::string &path)
{
    restrictFiles(path);
    sqlite3 *db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        hsLog("cant open database: %s", path.c_str());
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, busyTimeoutMilliseconds);
    return db;
}

sqlite3 *HsPreferences::replaceDamaged(sqlite3 *db, const std::string &path)
{
    hsLog("damaged database moved aside: %s", path.c_str());
    sqlite3_close_v2(db);
    if (!moveAside(path)) {
        hsLog("cant open database: %s", path.c_str());
        return nullptr;
    }
    return openDatabase(path);
}

void HsPreferences::closeDatabase()
{
    sqlite3_close_v2(database);
    database = nullptr;
}

std::shared_ptr<HsPreferences> HsPreferences::current()
{
    std::lock_guard lock(currentMutex);
    return currentPreferences;
}

void HsPreferences::setCurrent(std::shared_ptr<HsPreferences> preferences)
{
    // The previous database is released outside the lock; it closes once its last user lets go.
    std::unique_lock lock(currentMutex);
    currentPreferences.swap(preferences);
    lock.unlock();
}

std::shared_ptr<HsPreferences> HsPreferences::forThisThread()
{
    return threadPreferences ? *threadPreferences : current();
}

HsDbThreadBinding::HsDbThreadBinding(std::shared_ptr<HsPreferences> preferences)
    : m_outer(std::exchange(threadPreferences, std::move(preferences)))
{}

HsDbThreadBinding::~HsDbThreadBinding()
{
    threadPreferences = std::move(m_outer);
}

HsDbLease::HsDbLease(std::shared_ptr<HsPreferences> preferences) : m_preferences(std::move(preferences))
{
    if (m_preferences)
        m_lock = std::unique_lock(m_preferences->m_useMutex);
}

sqlite3 *HsDbLease::connection() const
{
    return m_preferences ? m_preferences->database : nullptr;
}

bool HsDbLease::holdsOwnLists() const
{
    if (!m_preferences || !m_preferences->m_account)
        return true;
    if (listsOwner(m_preferences->database) == m_preferences->m_account)
        return true;
    hsLog("lists not stored: the cache now holds another account's");
    return false;
}
