#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Any failure of the database: the engine's own message, a lost connection or a time-out.
class DatabaseError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

using Blob = std::vector<unsigned char>;

// The SQL language a store speaks where the two differ (table definitions, a few functions).
enum class Dialect
{
    sqlite,
    postgres,
};

// What a store does for one prepared statement; Statement is the handle the handlers hold.
class StatementBackend
{
public:
    virtual ~StatementBackend() = default;
    virtual void bind(int index, int64_t value) = 0;
    virtual void bind(int index, double value) = 0;
    virtual void bind(int index, std::string_view value) = 0;
    virtual void bind(int index, const Blob &value) = 0;
    virtual bool step() = 0;
    virtual int columnCount() const = 0;
    virtual int64_t integer(int column) const = 0;
    virtual std::string_view textView(int column) const = 0;
    virtual Blob blob(int column) const = 0;
};

// One prepared statement with bound parameters, stepped row by row. Parameters are written "?"
// (or "?N" for the N-th) in every store's statements.
class Statement
{
public:
    explicit Statement(std::unique_ptr<StatementBackend> backend) : backend_(std::move(backend)) {}

    template <typename... Values> Statement &bindAll(const Values &...values)
    {
        int index = 0;
        (bind(++index, values), ...);
        return *this;
    }

    void bind(int index, int64_t value) { backend_->bind(index, value); }
    void bind(int index, int value) { bind(index, static_cast<int64_t>(value)); }
    void bind(int index, double value) { backend_->bind(index, value); }
    void bind(int index, std::string_view value) { backend_->bind(index, value); }
    void bind(int index, const std::string &value) { bind(index, std::string_view(value)); }
    void bind(int index, const char *value) { bind(index, std::string_view(value)); }
    void bind(int index, const Blob &value) { backend_->bind(index, value); }

    // Advances to the next row; false when there is none left.
    bool step() { return backend_->step(); }
    // Runs a statement that returns no rows.
    void run()
    {
        while (step()) {
        }
    }

    int columnCount() const { return backend_->columnCount(); }
    int64_t integer(int column) const { return backend_->integer(column); }
    std::string text(int column) const { return std::string(textView(column)); }
    // The column's text as the store holds it: valid until the statement steps again or goes.
    std::string_view textView(int column) const { return backend_->textView(column); }
    Blob blob(int column) const { return backend_->blob(column); }

private:
    std::unique_ptr<StatementBackend> backend_;
};

// One open connection to the service's database, of either store. Not shared between threads at
// the same time: the pool hands each request its own.
class Connection
{
public:
    virtual ~Connection() = default;
    Connection() = default;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    virtual Dialect dialect() const = 0;
    virtual void exec(std::string_view sql) = 0;
    // The statement for this text, prepared once per connection and then reused: the service asks
    // the same few questions on every call.
    virtual Statement prepare(std::string_view sql) = 0;
    // The row number the last insert on this connection was given.
    virtual int64_t lastInsertId() = 0;
    // Rows the last statement changed.
    virtual int changes() const = 0;
    // Starts a transaction that holds the database's one write turn until it ends, in every
    // process that shares the database, so that writers never deadlock or see a half-done write.
    virtual void beginWrite() = 0;
    // True once the connection is lost or unusable; the pool then replaces it.
    virtual bool broken() const { return false; }

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
};

// A "postgresql://" or "postgres://" connection address, as opposed to a sqlite file name.
bool isPostgresLocation(std::string_view location);

// A connection to the database at `location`: a PostgreSQL address or a sqlite file name.
std::unique_ptr<Connection> openConnection(const std::string &location);
std::unique_ptr<Connection> openSqlite(const std::string &path);
std::unique_ptr<Connection> openPostgres(const std::string &address);

// A write transaction (see Connection::beginWrite) that rolls back unless committed.
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

// Connections to one database, opened on demand and reused, so that readers run side by side
// while writers take turns. A connection found broken is not reused: the next request opens a
// new one.
class ConnectionPool
{
public:
    explicit ConnectionPool(std::string location);

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

    std::string location_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Connection>> idle_;
};
