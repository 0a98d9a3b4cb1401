#pragma once

#include "cache/DAO.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a search entry is: a headline of the notices or the news, or a record of the student
// record, numbered as they are stored.
enum class SearchKind : int32_t
{
    Notice = 1,
    News = 2,
    HomeWork = 3,
    TestScore = 4,
    StateReport = 5,
    Chat = 6,
};

// One row that a search can find, as it was loaded: what it shows and what opens its detail.
struct SearchEntry
{
    SearchKind kind = SearchKind::Notice;
    // Tells the entry apart from the others of its kind, so loading it again replaces it.
    std::string key;
    // The headline's newsId (and forceReturn in `flag`); 0 for records.
    int32_t itemId = 0;
    int32_t flag = 0;
    std::optional<std::string> title;
    // A headline's whole text once its detail was fetched; a record's text.
    std::optional<std::string> text;
    std::optional<std::string> dateLine;
    // The date the entry was published or written, by which results are ordered.
    std::optional<std::string> date;

    bool operator==(const SearchEntry &) const = default;
};

// Everything the signed-in account has loaded that a search can find (table search_entry, with
// a full-text index over titles and texts). Chinese has no spaces between words, so the index
// cuts text into every run of three characters (sqlite's trigram tokenizer): words of three or
// more characters are looked up in it as they are, words of two through the runs they begin, and
// single characters by a scan of the titles and texts. The rows are the account's, like its
// lists: another account's sign-in empties them.
class SearchDao : public DAO<SearchEntry>
{
public:
    // The index holds each title and text with two line breaks after it, so that every character
    // of them begins a run of three: the runs that begin with a two-character word, listed by the
    // index's vocabulary table, find that word wherever it stands.
    static constexpr const char *createStatement =
        "create table if not exists search_entry (id integer primary key, kind integer not null, entry_key "
        "text "
        "not null, item_id integer not null default 0, flag integer not null default 0, title text, body "
        "text, "
        "date_line text, item_date text, unique (kind, entry_key));"
        "create virtual table if not exists search_text using fts5(title, body, content='search_entry', "
        "content_rowid='id', tokenize='trigram');"
        "create virtual table if not exists search_terms using fts5vocab(search_text, 'row');"
        "create trigger if not exists search_entry_added after insert on search_entry begin insert into "
        "search_text(rowid, title, body) values (new.id, new.title || char(10, 10), new.body || char(10, "
        "10)); "
        "end;"
        "create trigger if not exists search_entry_removed after delete on search_entry begin insert into "
        "search_text(search_text, rowid, title, body) values ('delete', old.id, old.title || char(10, 10), "
        "old.body || char(10, 10)); end;"
        "create trigger if not exists search_entry_changed after update on search_entry begin insert into "
        "search_text(search_text, rowid, title, body) values ('delete', old.id, old.title || char(10, 10), "
        "old.body || char(10, 10)); insert into search_text(rowid, title, body) values (new.id, new.title || "
        "char(10, 10), new.body || char(10, 10)); end;";
    // Most entries a search returns.
    static constexpr int resultLimit = 200;

    // Adds the entries, or replaces those loaded before under the same kind and key (a text
    // fetched before is kept when the entry comes again without one), in one transaction. Rows
    // stored, or -1 when nothing changed (also when the file now holds another account's lists).
    int store(const std::vector<SearchEntry> &entries) const;
    // Keeps the whole text of the notice or news item fetched by its detail.
    int storeNewsText(int32_t newsId, const std::optional<std::string> &text) const;
    // The notice or news item as last loaded, with its text when a detail fetched it.
    std::optional<SearchEntry> newsEntry(int32_t newsId) const;

    // The entries of the given kinds whose title or text contains every word of `words` (split at
    // spaces), newest date first, at most resultLimit; none for no words.
    std::vector<SearchEntry> find(const std::string &words, const std::vector<SearchKind> &kinds) const;

    // Puts the cached headlines of an earlier version, which has no entries for them, into the
    // search: the connection must be held by the caller.
    static int indexCachedHeadlines(sqlite3 *db);

protected:
    void doLoad(SearchEntry &entry, sqlite3_stmt *stmt, int selectType) const override;
};
