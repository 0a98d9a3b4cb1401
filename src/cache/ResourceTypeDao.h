#pragma once

#include "cache/DAO.h"
#include "documents/ResourceTypeItem.h"

#include <vector>

// The cached resource categories (table resource_type).
class ResourceTypeDao : public DAO<ResourceTypeItem>
{
public:
    static constexpr const char *createStatement =
        "create table if not exists resource_type (type_id integer, type_code text, type_name text)";

    int createTable() const;
    int insert(const ResourceTypeItem &item) const;
    int deletes() const;

    // All categories by type_id ascending.
    std::vector<ResourceTypeItem> initSelects() const;

    // Replaces the whole table with the given categories in one transaction, logging each name.
    // Returns the number of rows stored, or -1 when nothing was changed.
    int replaceAll(const std::vector<ResourceTypeItem> &items) const;

protected:
    void doLoad(ResourceTypeItem &item, sqlite3_stmt *stmt, int selectType) const override;
};
