#include "Database.h"

bool isPostgresLocation(std::string_view location)
{
    return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

std::unique_ptr<Connection> openConnection(const std::string &location)
{
    return isPostgresLocation(location) ? openPostgres(location) : openSqlite(location);
}

WriteTransaction::WriteTransaction(Connection &db) : db_(db)
{
    db_.beginWrite();
}

WriteTransaction::~WriteTransaction()
{
    if (done_ || db_.broken())
        return;
    try {
        db_.exec("ROLLBACK");
    } catch (const DatabaseError &) {
        // The store has already rolled back on its own.
    }
}

void WriteTransaction::commit()
{
    db_.exec("COMMIT");
    done_ = true;
}

ConnectionPool::ConnectionPool(std::string location) : location_(std::move(location)) {}

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
    return Lease(*this, openConnection(location_));
}

void ConnectionPool::giveBack(std::unique_ptr<Connection> connection)
{
    if (connection->broken())
        return;
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(connection));
}
