#include "Database.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

} // namespace

Statement::Statement(sqlite3 *db, std::string_view sql) : db_(db)
{
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK)
        fail(db, "prepare " + std::string(sql));
}

Statement::Statement(sqlite3 *db, KeptStatement &kept) : db_(db), stmt_(kept.stmt), kept_(&kept)
{
    kept.inUse = true;
}

Statement::~Statement()
{
    if (kept_ == nullptr) {
        sqlite3_finalize(stmt_);
        return;
    }
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    kept_->inUse = false;
}

void Statement::bind(int index, int64_t value)
{
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
        fail(db_, "bind");
}

void Statement::bind(int index, double value)
{
    if (sqlite3_bind_double(stmt_, index, value) != SQLITE_OK)
        fail(db_, "bind");
}

void Statement::bind(int index, std::string_view value)
{
    if (sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        fail(db_, "bind");
}

void Statement::bind(int index, const Blob &value)
{
    if (sqlite3_bind_blob(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        fail(db_, "bind");
}

bool Statement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(db_, "step");
}

void Statement::run()
{
    while (step()) {
    }
}

int Statement::columnCount() const
{
    return sqlite3_column_count(stmt_);
}

int64_t Statement::integer(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

std::string_view Statement::textView(int column) const
{
    const auto *bytes = sqlite3_column_text(stmt_, column);
    if (bytes == nullptr)
        return {};
    return {reinterpret_cast<const char *>(bytes), static_cast<size_t>(sqlite3_column_bytes(stmt_, column))};
}

Blob Statement::blob(int column) const
{
    const auto *bytes = static_cast<const unsigned char *>(sqlite3_column_blob(stmt_, column));
    return Blob(bytes, bytes + sqlite3_column_bytes(stmt_, column));
}

Connection::Connection(const std::string &path)
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

Connection::~Connection()
{
    for (auto &[sql, kept] : kept_)
        sqlite3_finalize(kept.stmt);
    sqlite3_close(db_);
}

Statement Connection::prepare(std::string_view sql)
{
    auto [entry, added] = kept_.try_emplace(std::string(sql));
    KeptStatement &kept = entry->second;
    if (added && sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                    &kept.stmt, nullptr) != SQLITE_OK) {
        kept_.erase(entry);
        fail(db_, "prepare " + std::string(sql));
    }
    if (kept.inUse)
        return Statement(db_, sql);
    return Statement(db_, kept);
}

void Connection::exec(std::string_view sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        throw DatabaseError(text);
    }
}

int64_t Connection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(db_);
}

int Connection::changes() const
{
    return sqlite3_changes(db_);
}

WriteTransaction::WriteTransaction(Connection &db) : db_(db)
{
    db_.exec("BEGIN IMMEDIATE");
}

WriteTransaction::~WriteTransaction()
{
    if (!done_) {
        try {
            db_.exec("ROLLBACK");
        } catch (const DatabaseError &) {
            // The engine has already rolled back on its own.
        }
    }
}

void WriteTransaction::commit()
{
    db_.exec("COMMIT");
    done_ = true;
}

ConnectionPool::ConnectionPool(std::string path) : path_(std::move(path)) {}

ConnectionPool::Lease::Lease(ConnectionPool &pool, std::unique_ptr<Connection> connection)
    : pool_(pool), connection_(std::move(connection))
{}

ConnectionPool::Lease::~Lease()
{
    pool_.giveBack(std::move(connection_));
}

ConnectionPool::Lease ConnectionPool::acquire()
{
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            auto connection = std::move(idle_.back());
            idle_.pop_back();
            return Lease(*this, std::move(connection));
        }
    }
    return Lease(*this, std::make_unique<Connection>(path_));
}

void ConnectionPool::giveBack(std::unique_ptr<Connection> connection)
{
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(connection));
}
