#include "cache/HsPreferences.h"

#include "cache/HsSql.h"
#include "cache/NewsDao.h"
#include "cache/NewsMarkDao.h"
#include "cache/NewsTypeDao.h"
#include "cache/ResourceDao.h"
#include "cache/ResourceTypeDao.h"
#include "transport/HsLog.h"

#include <filesystem>
#include <sqlite3.h>
#include <system_error>

namespace {

// How long a statement waits for another connection to the same file (an earlier sign-in's,
// still finishing) to release its write lock.
constexpr int busyTimeoutMilliseconds = 5000;

std::mutex currentMutex;
std::shared_ptr<HsPreferences> currentPreferences;

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
          NewsTypeDao::createStatement, NewsMarkDao::createStatement})
        hsSqlExecute(db, statement);
}

} // namespace

HsPreferences::~HsPreferences()
{
    closeDatabase();
}

bool HsPreferences::load(const std::string &documentsDirectory)
{
    std::lock_guard lock(m_useMutex);
    closeDatabase();
    const std::string path = (std::filesystem::path(documentsDirectory) / databaseFileName).string();
    sqlite3 *db = openDatabase(path);
    if (db && looksDamaged(db))
        db = replaceDamaged(db, path);
    if (db)
        createTables(db);
    database = db;
    return database != nullptr;
}

sqlite3 *HsPreferences::openDatabase(const std::string &path)
{
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

HsDbLease::HsDbLease(std::shared_ptr<HsPreferences> preferences) : m_preferences(std::move(preferences))
{
    if (m_preferences)
        m_lock = std::unique_lock(m_preferences->m_useMutex);
}

sqlite3 *HsDbLease::connection() const
{
    return m_preferences ? m_preferences->database : nullptr;
}
