#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A value bound to one positional parameter: an integer, a text, or SQL NULL for an absent text.
using HsSqlValue = std::variant<int32_t, int64_t, std::optional<std::string>>;

// Whether a bound statement is written to the diagnostic log with its values filled in.
enum class HsStatementLog
{
    Quiet,
    Logged,
};

// Runs every statement of a fixed text, one after the other. Returns the rows changed by the last
// one, or -1 after logging the failure (a missing connection counts as a failure).
int hsSqlExecute(sqlite3 *db, const std::string &sql);

// Runs one statement with its values bound to ?1, ?2, ... in order. Returns the rows changed, or
// -1 after logging the failure.
int hsSqlExecuteBound(sqlite3 *db, const std::string &sql, const std::vector<HsSqlValue> &values,
                      HsStatementLog log = HsStatementLog::Quiet);

// Runs a query with its texts bound to ?1, ?2, ... and hands each result row to readRow, in row
// order. A query that cannot be prepared, or a missing connection, yields no rows.
void hsSqlQuery(sqlite3 *db, const std::string &sql, const std::vector<std::string> &texts,
                const std::function<void(sqlite3_stmt *)> &readRow);

// Runs body between BEGIN IMMEDIATE and COMMIT. When body returns a negative count, or the commit
// fails, everything body did is rolled back and the result is -1; otherwise body's count.
// The caller must hold the connection for the whole call (see HsDbLease).
int hsSqlTransaction(sqlite3 *db, const std::function<int()> &body);

// A text column of the current row: absent for SQL NULL, otherwise the exact bytes stored.
std::optional<std::string> hsColumnText(sqlite3_stmt *stmt, int column);

int32_t hsColumnInt(sqlite3_stmt *stmt, int column);

int64_t hsColumnInt64(sqlite3_stmt *stmt, int column);
