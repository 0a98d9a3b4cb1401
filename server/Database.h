#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Any failure of the database engine; the message is sqlite's own.
class DatabaseError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

using Blob = std::vector<unsigned char>;

// A prepared statement a connection keeps for the next use of the same text.
struct KeptStatement
{
    sqlite3_stmt *stmt = nullptr;
    bool inUse = false;
};

// One prepared statement with bound parameters, stepped row by row. A statement lent by its
// connection's store is reset and its parameters cleared when it goes, for the next use; any other
// is finalised.
class Statement
{
public:
    Statement(sqlite3 *db, std::string_view sql);
    Statement(sqlite3 *db, KeptStatement &kept);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    template <typename... Values> Statement &bindAll(const Values &...values)
    {
        int index = 0;
        (bind(++index, values), ...);
        return *this;
    }

    void bind(int index, int64_t value);
    void bind(int index, int value) { bind(index, static_cast<int64_t>(value)); }
    void bind(int index, double value);
    void bind(int index, std::string_view value);
    void bind(int index, const std::string &value) { bind(index, std::string_view(value)); }
    void bind(int index, const char *value) { bind(index, std::string_view(value)); }
    void bind(int index, const Blob &value);

    // Advances to the next row; false when there is none left.
    bool step();
    // Runs a statement that returns no rows.
    void run();

    int columnCount() const;
    int64_t integer(int column) const;
    std::string text(int column) const { return std::string(textView(column)); }
    // The column's text as the engine holds it: valid until the statement steps again or goes.
    std::string_view textView(int column) const;
    Blob blob(int column) const;

private:
    sqlite3 *db_;
    sqlite3_stmt *stmt_ = nullptr;
    KeptStatement *kept_ = nullptr;
};

// One open database connection. Not shared between threads at the same time: the pool hands
// each request its own.
class Connection
{
public:
    explicit Connection(const std::string &path);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void exec(std::string_view sql);
    // The statement for this text, prepared once per connection and then reused: the service asks
    // the same few questions on every call. The same text asked again while its statement is still
    // in use gets a statement of its own.
    Statement prepare(std::string_view sql);
    int64_t lastInsertId() const;
    int changes() const;

    // The single integer the query returns, or nothing when it returns no row.
    template <typename... Values> std::optional<int64_t> scalar(std::string_view sql, const Values &...values)
    {
        Statement stmt = prepare(sql);
        stmt.bindAll(values...);
        if (!stmt.step())
            return std::nullopt;
        return stmt.integer(0);
    }

    template <typename... Values> void run(std::string_view sql, const Values &...values)
    {
        Statement stmt = prepare(sql);
        stmt.bindAll(values...);
        stmt.run();
    }

private:
    sqlite3 *db_ = nullptr;
    std::unordered_map<std::string, KeptStatement> kept_;
};

// A write transaction that takes the write lock at once (so two writers never deadlock on an
// upgrade) and rolls back unless committed.
class WriteTransaction
{
public:
    explicit WriteTransaction(Connection &db);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;
    void commit();

private:
    Connection &db_;
    bool done_ = false;
};

// Connections to one database file, opened on demand and reused, so that readers run side by
// side (write-ahead log) while writers take turns.
class ConnectionPool
{
public:
    explicit ConnectionPool(std::string path);

    class Lease
    {
    public:
        Lease(ConnectionPool &pool, std::unique_ptr<Connection> connection);
        ~Lease();
        Lease(const Lease &) = delete;
        Lease &operator=(const Lease &) = delete;
        Connection &operator*() { return *connection_; }
        Connection *operator->() { return connection_.get(); }

    private:
        ConnectionPool &pool_;
        std::unique_ptr<Connection> connection_;
    };

    Lease acquire();

private:
    void giveBack(std::unique_ptr<Connection> connection);

    std::string path_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Connection>> idle_;
};
