#pragma once

#include "cache/HsPreferences.h"
#include "cache/HsSql.h"

#include <string>
#include <vector>

// The select type every cache read uses; the accessors fill records only for this type.
inline constexpr int hsSelectTypeRow = 1;

// Base of the cache table accessors: runs commands on the current database and reads query rows
// into records of type Item through two hooks, createObject and doLoad.
template <class Item> class DAO
{
public:
    virtual ~DAO() = default;

    // Runs a fixed command text (no values in it). Rows changed, or -1 on error.
    int execCommand(const std::string &sql) const
    {
        HsDbLease lease;
        return hsSqlExecute(lease.connection(), sql);
    }

    // Runs one statement with its values bound to ?1, ?2, ... Rows changed, or -1 on error.
    int execCommand(const std::string &sql, const std::vector<HsSqlValue> &values) const
    {
        HsDbLease lease;
        return hsSqlExecuteBound(lease.connection(), sql, values);
    }

    // One record per result row, in row order; empty when there are no rows or the query fails.
    std::vector<Item> initSelectObjs(const std::string &sql, const std::vector<std::string> &params,
                                     int selectType) const
    {
        HsDbLease lease;
        std::vector<Item> items;
        hsSqlQuery(lease.connection(), sql, params,
                   [&](sqlite3_stmt *stmt) { items.push_back(load(stmt, selectType)); });
        return items;
    }

    // A new record filled from the row the statement is positioned on.
    Item load(sqlite3_stmt *stmt, int selectType) const
    {
        Item item = createObject();
        doLoad(item, stmt, selectType);
        return item;
    }

protected:
    // The refresh of a table or of one category: deletes with `deleteSql` (its values bound),
    // then lets `insertRows` add the new rows, all in one transaction on one held connection, so
    // no reader ever sees the rows half replaced. Rows stored, or -1 when nothing changed.
    template <class InsertRows>
    int replaceRows(const std::string &deleteSql, const std::vector<HsSqlValue> &deleteValues,
                    InsertRows insertRows) const
    {
        return replace(deleteSql, deleteValues, insertRows, ListOwner::Anyone);
    }

    // replaceRows for the lists of the signed-in account (news, resources): nothing changes once
    // the file holds another account's lists, as when work of an earlier sign-in ends late.
    template <class InsertRows>
    int replaceAccountRows(const std::string &deleteSql, const std::vector<HsSqlValue> &deleteValues,
                           InsertRows insertRows) const
    {
        return replace(deleteSql, deleteValues, insertRows, ListOwner::ThisAccount);
    }

    virtual Item createObject() const { return Item{}; }
    virtual void doLoad(Item &, sqlite3_stmt *, int) const {}

private:
    enum class ListOwner
    {
        Anyone,
        ThisAccount,
    };

    template <class InsertRows>
    int replace(const std::string &deleteSql, const std::vector<HsSqlValue> &deleteValues,
                InsertRows &insertRows, ListOwner owner) const
    {
        HsDbLease lease;
        sqlite3 *db = lease.connection();
        return hsSqlTransaction(db, [&] {
            if (owner == ListOwner::ThisAccount && !lease.holdsOwnLists())
                return -1;
            if (hsSqlExecuteBound(db, deleteSql, deleteValues) < 0)
                return -1;
            return insertRows(db);
        });
    }
};
