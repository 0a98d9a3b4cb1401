#pragma once

#include "cache/DAO.h"
#include "documents/NewsTypeItem.h"

#include <vector>

// The cached notice and news categories (table news_type).
class NewsTypeDao : public DAO<NewsTypeItem>
{
public:
    static constexpr const char *createStatement =
        "create table if not exists news_type (type_id integer, type_code text, type_name text, type_type "
        "integer)";

    int createTable() const;
    int insert(const NewsTypeItem &item) const;
    int deletes() const;

    // Categories with typeType 0 (school notices), by type_id ascending.
    std::vector<NewsTypeItem> initSelectSchools() const;
    // Categories with any other typeType (news), by type_id ascending.
    std::vector<NewsTypeItem> initSelectNews() const;

    // Replaces the whole table with the given categories in one transaction, logging each name.
    // Returns the number of rows stored, or -1 when nothing was changed.
    int replaceAll(const std::vector<NewsTypeItem> &items) const;

protected:
    void doLoad(NewsTypeItem &item, sqlite3_stmt *stmt, int selectType) const override;
};
