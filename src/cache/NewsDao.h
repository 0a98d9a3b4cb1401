#pragma once

#include "cache/DAO.h"
#include "documents/NewsItem.h"

#include <string>
#include <vector>

// The cached headlines of each notice or news category (table ed_news). The picture address and
// the content are not cached: a cached headline reads back with an empty imageUrl.
class NewsDao : public DAO<NewsItem>
{
public:
    static constexpr const char *createStatement =
        "create table if not exists ed_news (news_id integer, type_code text, news_title text, class_id "
        "integer, forcereturn integer, public_date text, news_image text)";

    int createTable() const;

    // Stores one headline under the given category, whatever the item's own typeCode.
    int insert(const NewsItem &item, const std::string &typeCode) const;
    // insert for each item, in list order; returns the rows stored, or -1 if any insert failed.
    int inserts(const std::vector<NewsItem> &items, const std::string &typeCode) const;
    int deletes() const;
    int deletes(const std::string &typeCode) const;

    // The category's headlines, highest newsId first.
    std::vector<NewsItem> initSelects(const std::string &typeCode) const;

    // Replaces the category's headlines with the given ones, in the order received, in one
    // transaction. Returns the number of rows stored, or -1 when nothing was changed (also when
    // the file now holds another account's lists).
    int replaceCategory(const std::string &typeCode, const std::vector<NewsItem> &items) const;

protected:
    void doLoad(NewsItem &item, sqlite3_stmt *stmt, int selectType) const override;
};
