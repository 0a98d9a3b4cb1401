#include "cache/SearchDao.h"

namespace {

const char *const selectColumns =
    "select kind, entry_key, item_id, flag, title, body, date_line, item_date from search_entry ";

// Words of three characters or more are runs of the index; those of two begin runs of it.
constexpr std::size_t indexedWordLength = 3;
constexpr std::size_t runStartLength = 2;

bool isSpaceAt(const std::string &text, std::size_t at, std::size_t &length)
{
    static const std::string ideographicSpace = "\u3000";
    if (text.compare(at, ideographicSpace.size(), ideographicSpace) == 0) {
        length = ideographicSpace.size();
        return true;
    }
    length = 1;
    return text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r';
}

// The words of a search, split at ASCII and ideographic spaces.
std::vector<std::string> wordsOf(const std::string &text)
{
    std::vector<std::string> words;
    std::string word;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = 1;
        if (isSpaceAt(text, at, length)) {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += text[at];
        }
        at += length;
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

// Characters, not bytes, of a UTF-8 text: every byte but the continuation bytes starts one.
std::size_t charactersOf(const std::string &utf8)
{
    std::size_t characters = 0;
    for (const char byte : utf8)
        characters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
    return characters;
}

// The word as one phrase of the full-text query language, so that its characters mean nothing.
std::string phraseOf(const std::string &word)
{
    std::string phrase = "\"";
    for (const char c : word)
        phrase += c == '"' ? std::string("\"\"") : std::string(1, c);
    return phrase + "\"";
}

std::string kindListOf(const std::vector<SearchKind> &kinds)
{
    std::string list;
    for (const SearchKind kind : kinds)
        list += (list.empty() ? "" : ",") + std::to_string(static_cast<int32_t>(kind));
    return list;
}

int storeEntry(sqlite3 *db, const SearchEntry &entry)
{
    return hsSqlExecuteBound(
        db,
        "insert into search_entry (kind, entry_key, item_id, flag, title, body, date_line, item_date) "
        "values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8) on conflict (kind, entry_key) do update set "
        "item_id=excluded.item_id, flag=excluded.flag, title=excluded.title, "
        "body=coalesce(excluded.body, body), date_line=excluded.date_line, item_date=excluded.item_date",
        {static_cast<int32_t>(entry.kind), entry.key, entry.itemId, entry.flag, entry.title, entry.text,
         entry.dateLine, entry.date});
}

} // namespace

int SearchDao::store(const std::vector<SearchEntry> &entries) const
{
    HsDbLease lease;
    sqlite3 *db = lease.connection();
    return hsSqlTransaction(db, [&] {
        if (!lease.holdsOwnLists())
            return -1;
        for (const SearchEntry &entry : entries) {
            if (storeEntry(db, entry) < 0)
                return -1;
        }
        return static_cast<int>(entries.size());
    });
}

int SearchDao::storeNewsText(int32_t newsId, const std::optional<std::string> &text) const
{
    HsDbLease lease;
    sqlite3 *db = lease.connection();
    return hsSqlTransaction(db, [&] {
        if (!lease.holdsOwnLists())
            return -1;
        return hsSqlExecuteBound(db, "update search_entry set body=?2 where kind in (1, 2) and item_id=?1",
                                 {newsId, text});
    });
}

std::optional<SearchEntry> SearchDao::newsEntry(int32_t newsId) const
{
    const std::vector<SearchEntry> entries =
        initSelectObjs(std::string(selectColumns) + "where kind in (1, 2) and item_id=?1",
                       {std::to_string(newsId)}, hsSelectTypeRow);
    if (entries.empty())
        return std::nullopt;
    return entries.front();
}

std::vector<SearchEntry> SearchDao::find(const std::string &words, const std::vector<SearchKind> &kinds) const
{
    const std::vector<std::string> wanted = wordsOf(words);
    if (wanted.empty() || kinds.empty())
        return {};
    std::string sql = std::string(selectColumns) + "where kind in (" + kindListOf(kinds) + ")";
    std::vector<std::string> params;
    for (const std::string &word : wanted) {
        const std::string n = "?" + std::to_string(params.size() + 1);
        const std::size_t characters = charactersOf(word);
        if (characters >= indexedWordLength) {
            sql += " and id in (select rowid from search_text where search_text match " + n + ")";
            params.push_back(phraseOf(word));
        } else if (characters == runStartLength) {
            // Every run that begins with the word, as one query of alternatives.
            sql += " and id in (select rowid from search_text where search_text match (select "
                   "coalesce(group_concat('\"' || replace(term, '\"', '\"\"') || '\"', ' OR '), '\"\"') from "
                   "search_terms where term >= lower(" +
                   n + ") and term < lower(" + n + ") || char(1114111)))";
            params.push_back(word);
        } else {
            // lower() folds ASCII letters, as the index does for longer words.
            sql += " and (instr(lower(title), lower(" + n + ")) > 0 or instr(lower(body), lower(" + n +
                   ")) > 0)";
            params.push_back(word);
        }
    }
    sql += " order by item_date desc, id desc limit " + std::to_string(resultLimit);
    return initSelectObjs(sql, params, hsSelectTypeRow);
}

int SearchDao::indexCachedHeadlines(sqlite3 *db)
{
    return hsSqlExecute(
        db, "insert into search_entry (kind, entry_key, item_id, flag, title, date_line, item_date) "
            "select case when t.type_type = 0 then 1 else 2 end, cast(n.news_id as text), "
            "n.news_id, n.forcereturn, n.news_title, n.public_date, n.public_date from ed_news n "
            "join news_type t on "
            "t.type_code = n.type_code where true on conflict (kind, entry_key) do nothing");
}

void SearchDao::doLoad(SearchEntry &entry, sqlite3_stmt *stmt, int selectType) const
{
    if (selectType != hsSelectTypeRow)
        return;
    entry.kind = static_cast<SearchKind>(hsColumnInt(stmt, 0));
    entry.key = hsColumnText(stmt, 1).value_or(std::string());
    entry.itemId = hsColumnInt(stmt, 2);
    entry.flag = hsColumnInt(stmt, 3);
    entry.title = hsColumnText(stmt, 4);
    entry.text = hsColumnText(stmt, 5);
    entry.dateLine = hsColumnText(stmt, 6);
    entry.date = hsColumnText(stmt, 7);
}
