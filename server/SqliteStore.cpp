// The embedded store: one sqlite file in write-ahead-log mode.
#include "Database.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

[[noreturn]] void fail(sqlite3 *db, std::string_view what)
{
    throw DatabaseError(std::string(what) + ": " + sqlite3_errmsg(db));
}

constexpr int kBusyTimeoutMs = 10000;
constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

// Names sqlite gives to something other than a file of that name.
bool isOrdinaryFile(std::string_view path)
{
    return !path.empty() && path != ":memory:" && !path.starts_with("file:");
}

// The database holds password digests and families' phone numbers and addresses, so only the
// service's own user may read it. The engine gives its write-ahead log and shared-memory files the
// mode of the database file, so a database created private stays private; one that an earlier
// version left readable is corrected, with whatever files beside it that version left.
void keepPrivate(const std::string &path)
{
    if (!isOrdinaryFile(path))
        return;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kOwnerOnly);
    if (fd >= 0)
        ::close(fd);
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
        const std::string file = path + suffix;
        if (::chmod(file.c_str(), kOwnerOnly) != 0 && errno != ENOENT)
            throw DatabaseError("cannot make " + file + " private: " + std::strerror(errno));
    }
}

// A prepared statement a connection keeps for the next use of the same text.
struct KeptStatement
{
    sqlite3_stmt *stmt = nullptr;
    bool inUse = false;
};

// A statement lent by its connection's store is reset and its parameters cleared when it goes,
// for the next use; any other is finalised.
class SqliteStatement final : public StatementBackend
{
public:
    SqliteStatement(sqlite3 *db, std::string_view sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK)
            fail(db, "prepare " + std::string(sql));
    }

    SqliteStatement(sqlite3 *db, KeptStatement &kept) : db_(db), stmt_(kept.stmt), kept_(&kept)
    {
        kept.inUse = true;
    }

    ~SqliteStatement() override
    {
        if (kept_ == nullptr) {
            sqlite3_finalize(stmt_);
            return;
        }
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        kept_->inUse = false;
    }

    void bind(int index, int64_t value) override { check(sqlite3_bind_int64(stmt_, index, value)); }
    void bind(int index, double value) override { check(sqlite3_bind_double(stmt_, index, value)); }
    void bind(int index, std::string_view value) override
    {
        check(
            sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT));
    }
    void bind(int index, const Blob &value) override
    {
        check(
            sqlite3_bind_blob(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT));
    }

    bool step() override
    {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        fail(db_, "step");
    }

    int columnCount() const override { return sqlite3_column_count(stmt_); }
    int64_t integer(int column) const override { return sqlite3_column_int64(stmt_, column); }

    std::string_view textView(int column) const override
    {
        const auto *bytes = sqlite3_column_text(stmt_, column);
        if (bytes == nullptr)
            return {};
        return {reinterpret_cast<const char *>(bytes),
                static_cast<size_t>(sqlite3_column_bytes(stmt_, column))};
    }

    Blob blob(int column) const override
    {
        const auto *bytes = static_cast<const unsigned char *>(sqlite3_column_blob(stmt_, column));
        return Blob(bytes, bytes + sqlite3_column_bytes(stmt_, column));
    }

private:
    void check(int rc)
    {
        if (rc != SQLITE_OK)
            fail(db_, "bind");
    }

    sqlite3 *db_;
    sqlite3_stmt *stmt_ = nullptr;
    KeptStatement *kept_ = nullptr;
};

class SqliteConnection final : public Connection
{
public:
    explicit SqliteConnection(const std::string &path)
    {
        keepPrivate(path);
        const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw DatabaseError("open " + path + ": " + message);
        }
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        // Write-ahead log: readers never wait for the writer; FULL makes every commit durable
        // before the answer that acknowledges it leaves the server.
        exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;");
    }

    ~SqliteConnection() override
    {
        for (auto &[sql, kept] : kept_)
            sqlite3_finalize(kept.stmt);
        sqlite3_close(db_);
    }

    Dialect dialect() const override { return Dialect::sqlite; }

    // The same text asked again while its statement is still in use gets a statement of its own.
    Statement prepare(std::string_view sql) override
    {
        auto [entry, added] = kept_.try_emplace(std::string(sql));
        KeptStatement &kept = entry->second;
        if (added && sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                                        SQLITE_PREPARE_PERSISTENT, &kept.stmt, nullptr) != SQLITE_OK) {
            kept_.erase(entry);
            fail(db_, "prepare " + std::string(sql));
        }
        if (kept.inUse)
            return Statement(std::make_unique<SqliteStatement>(db_, sql));
        return Statement(std::make_unique<SqliteStatement>(db_, kept));
    }

    void exec(std::string_view sql) override
    {
        char *message = nullptr;
        if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            const std::string text = message ? message : "unknown error";
            sqlite3_free(message);
            throw DatabaseError(text);
        }
    }

    int64_t lastInsertId() override { return sqlite3_last_insert_rowid(db_); }
    int changes() const override { return sqlite3_changes(db_); }
    // Takes the write lock at once, so that two writers never deadlock on an upgrade.
    void beginWrite() override { exec("BEGIN IMMEDIATE"); }

private:
    sqlite3 *db_ = nullptr;
    std::unordered_map<std::string, KeptStatement> kept_;
};

} // namespace

std::unique_ptr<Connection> openSqlite(const std::string &path)
{
    return std::make_unique<SqliteConnection>(path);
}
