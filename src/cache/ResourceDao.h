#pragma once

#include "cache/DAO.h"
#include "documents/ResourceItem.h"

#include <string>
#include <vector>

// The cached entries of each resource category (table ed_resource). Only the list fields are
// cached: id, category, title, update date and thumbnail.
class ResourceDao : public DAO<ResourceItem>
{
public:
    static constexpr const char *createStatement =
        "create table if not exists ed_resource (resource_id integer, type_code text, resource_title text, "
        "update_date text, thumb_image text)";

    int createTable() const;

    // Stores one entry under its own typeCode.
    int insert(const ResourceItem &item) const;
    // Stores each entry under the given category, in list order; returns the rows stored, or -1 if
    // any insert failed.
    int insert(const std::vector<ResourceItem> &items, const std::string &typeCode) const;
    int deletes() const;
    int deletes(const std::string &typeCode) const;

    // The category's entries, highest resId first.
    std::vector<ResourceItem> initSelects(const std::string &typeCode) const;

    // Replaces the category's entries with the given ones, each stored under the category, in the
    // order received, in one transaction. Returns the number of rows stored, or -1 when nothing was
    // changed (also when the file now holds another account's lists).
    int replaceCategory(const std::string &typeCode, const std::vector<ResourceItem> &items) const;

protected:
    void doLoad(ResourceItem &item, sqlite3_stmt *stmt, int selectType) const override;
};
