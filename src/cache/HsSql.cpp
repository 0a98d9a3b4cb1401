#include "cache/HsSql.h"

#include "common/HsLog.h"

#include <memory>
#include <sqlite3.h>

namespace {

const char *const noConnectionMessage = "no database is open";

void logCommandError(sqlite3 *db, const std::string &sql)
{
    hsLog("COMMAND ERROR:%s[%s]", sql.c_str(), db ? sqlite3_errmsg(db) : noConnectionMessage);
}

// Closes a prepared statement when leaving the scope that owns it.
struct StatementCloser
{
    void operator()(sqlite3_stmt *stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

Statement prepare(sqlite3 *db, const std::string &sql)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    return Statement(stmt);
}

int bindText(sqlite3_stmt *stmt, int position, const std::string &text)
{
    return sqlite3_bind_text(stmt, position, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

int bindValue(sqlite3_stmt *stmt, int position, const HsSqlValue &value)
{
    if (const auto *number = std::get_if<int32_t>(&value))
        return sqlite3_bind_int(stmt, position, *number);
    if (const auto *number = std::get_if<int64_t>(&value))
        return sqlite3_bind_int64(stmt, position, *number);
    const auto &text = std::get<std::optional<std::string>>(value);
    return text ? bindText(stmt, position, *text) : sqlite3_bind_null(stmt, position);
}

bool bindValues(sqlite3_stmt *stmt, const std::vector<HsSqlValue> &values)
{
    for (size_t index = 0; index < values.size(); ++index) {
        if (bindValue(stmt, static_cast<int>(index) + 1, values[index]) != SQLITE_OK)
            return false;
    }
    return true;
}

void logExpandedStatement(sqlite3_stmt *stmt)
{
    char *expanded = sqlite3_expanded_sql(stmt);
    hsLog("%s", expanded ? expanded : sqlite3_sql(stmt));
    sqlite3_free(expanded);
}

} // namespace

int hsSqlExecute(sqlite3 *db, const std::string &sql)
{
    if (db == nullptr || sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        logCommandError(db, sql);
        return -1;
    }
    return sqlite3_changes(db);
}

int hsSqlExecuteBound(sqlite3 *db, const std::string &sql, const std::vector<HsSqlValue> &values,
                      HsStatementLog log)
{
    Statement stmt = db ? prepare(db, sql) : nullptr;
    if (!stmt || !bindValues(stmt.get(), values)) {
        logCommandError(db, sql);
        return -1;
    }
    if (log == HsStatementLog::Logged)
        logExpandedStatement(stmt.get());
    if (sqlite3_step(stmt.get()) != SQLITE_DONE) {
        logCommandError(db, sql);
        return -1;
    }
    return sqlite3_changes(db);
}

void hsSqlQuery(sqlite3 *db, const std::string &sql, const std::vector<std::string> &texts,
                const std::function<void(sqlite3_stmt *)> &readRow)
{
    Statement stmt = db ? prepare(db, sql) : nullptr;
    if (!stmt)
        return;
    for (size_t index = 0; index < texts.size(); ++index)
        bindText(stmt.get(), static_cast<int>(index) + 1, texts[index]);
    while (sqlite3_step(stmt.get()) == SQLITE_ROW)
        readRow(stmt.get());
}

int hsSqlTransaction(sqlite3 *db, const std::function<int()> &body)
{
    if (hsSqlExecute(db, "BEGIN IMMEDIATE") < 0)
        return -1;
    const int count = body();
    if (count >= 0 && hsSqlExecute(db, "COMMIT") >= 0)
        return count;
    if (sqlite3_get_autocommit(db) == 0)
        hsSqlExecute(db, "ROLLBACK");
    return -1;
}

std::optional<std::string> hsColumnText(sqlite3_stmt *stmt, int column)
{
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL)
        return std::nullopt;
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    return std::string(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
}

int32_t hsColumnInt(sqlite3_stmt *stmt, int column)
{
    return sqlite3_column_int(stmt, column);
}

int64_t hsColumnInt64(sqlite3_stmt *stmt, int column)
{
    return sqlite3_column_int64(stmt, column);
}
