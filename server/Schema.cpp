#include "Schema.h"

#include <array>
#include <string>
#include <string_view>

namespace {

// Dates are texts "YYYY-MM-DD HH:MM", so that they sort as they read; lists are ordered by
// date and then by row number, newest first. Picture columns hold paths below the server's
// address ("/images/..."); documents turn them into absolute addresses.
constexpr const char *kSchema = R"sql(
CREATE TABLE IF NOT EXISTS schools (
  code TEXT PRIMARY KEY,
  name TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS classes (
  id INTEGER PRIMARY KEY,
  school_code TEXT NOT NULL REFERENCES schools(code),
  name TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS teachers (
  id INTEGER PRIMARY KEY,
  class_id INTEGER NOT NULL REFERENCES classes(id),
  real_name TEXT NOT NULL,
  subject TEXT NOT NULL,
  avatar TEXT NOT NULL,
  address TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS students (
  id INTEGER PRIMARY KEY,
  class_id INTEGER NOT NULL REFERENCES classes(id),
  real_name TEXT NOT NULL,
  avatar TEXT NOT NULL,
  address TEXT NOT NULL,
  urgent_phone TEXT NOT NULL,
  mother_name TEXT NOT NULL,
  mother_phone TEXT NOT NULL,
  mother_work TEXT NOT NULL,
  father_name TEXT NOT NULL,
  father_phone TEXT NOT NULL,
  father_work TEXT NOT NULL,
  info_confirmed TEXT
);
CREATE TABLE IF NOT EXISTS accounts (
  name TEXT PRIMARY KEY,
  role TEXT NOT NULL CHECK (role IN ('teacher', 'parent')),
  person_id INTEGER NOT NULL,
  salt BLOB NOT NULL,
  hash BLOB NOT NULL,
  iterations INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS news_types (
  id INTEGER PRIMARY KEY,
  code TEXT NOT NULL UNIQUE,
  name TEXT NOT NULL,
  type_type INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS news (
  id INTEGER PRIMARY KEY,
  school_code TEXT NOT NULL,
  class_id INTEGER NOT NULL,
  type_code TEXT NOT NULL,
  title TEXT NOT NULL,
  content TEXT NOT NULL,
  public_date TEXT NOT NULL,
  force_return INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS news_by_type ON news (school_code, type_code, public_date);
CREATE TABLE IF NOT EXISTS news_returns (
  id INTEGER PRIMARY KEY,
  news_id INTEGER NOT NULL,
  user_id INTEGER NOT NULL,
  user_role INTEGER NOT NULL,
  user_name TEXT NOT NULL,
  user_avatar TEXT NOT NULL,
  content TEXT NOT NULL,
  return_date TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS resource_types (
  id INTEGER PRIMARY KEY,
  code TEXT NOT NULL UNIQUE,
  name TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS resources (
  id INTEGER PRIMARY KEY,
  type_code TEXT NOT NULL,
  title TEXT NOT NULL,
  content TEXT NOT NULL,
  picture TEXT NOT NULL,
  thumb TEXT NOT NULL,
  phone TEXT NOT NULL,
  address TEXT NOT NULL,
  longitude REAL NOT NULL,
  latitude REAL NOT NULL,
  web TEXT NOT NULL,
  update_date TEXT NOT NULL,
  featured INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS homework (
  id INTEGER PRIMARY KEY,
  class_id INTEGER NOT NULL,
  school_code TEXT NOT NULL,
  user_id INTEGER NOT NULL,
  teacher_name TEXT NOT NULL,
  content TEXT NOT NULL,
  hw_date TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS states (
  id INTEGER PRIMARY KEY,
  class_id INTEGER NOT NULL,
  school_code TEXT NOT NULL,
  author TEXT NOT NULL,
  kind TEXT NOT NULL,
  author_role INTEGER NOT NULL,
  content TEXT NOT NULL,
  state_date TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS chats (
  id INTEGER PRIMARY KEY,
  class_id INTEGER NOT NULL,
  school_code TEXT NOT NULL,
  user_id INTEGER NOT NULL,
  user_name TEXT NOT NULL,
  content TEXT NOT NULL,
  chat_date TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS tests (
  id INTEGER PRIMARY KEY,
  class_id INTEGER NOT NULL,
  subject_name TEXT NOT NULL,
  test_name TEXT NOT NULL,
  test_date TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS scores (
  test_id INTEGER NOT NULL REFERENCES tests(id),
  student_id INTEGER NOT NULL REFERENCES students(id),
  score REAL NOT NULL,
  PRIMARY KEY (test_id, student_id)
);
CREATE TABLE IF NOT EXISTS feedback (
  id INTEGER PRIMARY KEY,
  user_id INTEGER NOT NULL,
  login_type INTEGER NOT NULL,
  content TEXT NOT NULL,
  created TEXT NOT NULL
);
-- Failed password checks per account ("account:NAME") and per caller ("address:ADDRESS"), with
-- the start of their window and the end of their lock in milliseconds of the wall clock (0: none).
CREATE TABLE IF NOT EXISTS sign_in_failures (
  name TEXT PRIMARY KEY,
  failures INTEGER NOT NULL,
  window_start INTEGER NOT NULL,
  locked_until INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS sign_in_failures_by_window ON sign_in_failures (window_start);
CREATE TABLE IF NOT EXISTS uploads (
  id INTEGER PRIMARY KEY,
  content_type TEXT NOT NULL,
  bytes BLOB NOT NULL
);
)sql";

// Earlier versions kept every picture ever uploaded; only those that a person or a reply still
// shows are worth keeping. An upload's address is "/images/uploads/<number>.<extension>".
constexpr const char *kForgetReplacedPictures = R"sql(
DELETE FROM uploads WHERE id NOT IN (
  SELECT CAST(rtrim(substr(avatar, 17), '.abcdefghijklmnopqrstuvwxyz') AS INTEGER) FROM teachers
    WHERE avatar LIKE '/images/uploads/%'
  UNION SELECT CAST(rtrim(substr(avatar, 17), '.abcdefghijklmnopqrstuvwxyz') AS INTEGER) FROM students
    WHERE avatar LIKE '/images/uploads/%'
  UNION SELECT CAST(rtrim(substr(user_avatar, 17), '.abcdefghijklmnopqrstuvwxyz') AS INTEGER)
    FROM news_returns WHERE user_avatar LIKE '/images/uploads/%');
)sql";

// sqlite's function that the statements use where PostgreSQL names it otherwise.
constexpr const char *kPostgresFunctions = R"sql(
CREATE OR REPLACE FUNCTION instr(text, text) RETURNS integer
  LANGUAGE sql IMMUTABLE STRICT AS 'SELECT strpos($1, $2)';
)sql";

// Children before parents, so that the foreign keys hold at every step.
constexpr std::array kTables{"scores",  "tests",      "uploads",         "feedback",       "chats",
                             "states",  "homework",   "resources",       "resource_types", "news_returns",
                             "news",    "news_types", "accounts",        "students",       "teachers",
                             "classes", "schools",    "sign_in_failures"};

void replaceAll(std::string &text, std::string_view from, std::string_view to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// The tables in PostgreSQL's types: row numbers that count up by themselves, 64-bit integers,
// bytes, and scores kept to one decimal so that both stores write them alike ("85.0").
std::string postgresTables()
{
    std::string sql = kSchema;
    replaceAll(sql, "INTEGER PRIMARY KEY", "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
    replaceAll(sql, "score REAL", "score NUMERIC(6,1)");
    replaceAll(sql, " INTEGER", " BIGINT");
    replaceAll(sql, " REAL", " DOUBLE PRECISION");
    replaceAll(sql, " BLOB", " BYTEA");
    return sql;
}

} // namespace

void createSchema(Connection &db)
{
    if (db.dialect() == Dialect::postgres) {
        db.exec(postgresTables());
        db.exec(kPostgresFunctions);
    } else {
        db.exec(kSchema);
    }
    db.exec(kForgetReplacedPictures);
}

bool schoolIsMissing(Connection &db)
{
    return db.scalar("SELECT count(*) FROM schools").value_or(0) == 0;
}

void clearAllData(Connection &db)
{
    if (db.dialect() == Dialect::postgres) {
        // Row numbers start again from 1, as they do in an emptied sqlite table.
        std::string tables;
        for (const char *table : kTables)
            tables += std::string(tables.empty() ? "" : ", ") + table;
        db.exec("TRUNCATE " + tables + " RESTART IDENTITY");
        return;
    }
    for (const char *table : kTables)
        db.exec(std::string("DELETE FROM ") + table);
}
