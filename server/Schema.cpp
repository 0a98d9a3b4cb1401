#include "Schema.h"

#include <array>

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
CREATE TABLE IF NOT EXISTS uploads (
  id INTEGER PRIMARY KEY,
  content_type TEXT NOT NULL,
  bytes BLOB NOT NULL
);
)sql";

// Earlier versions kept every picture ever uploaded; only those that a person or a reply still
// shows are worth keeping.
constexpr const char *kForgetReplacedPictures = R"sql(
DELETE FROM uploads WHERE id NOT IN (
  SELECT CAST(substr(avatar, 17) AS INTEGER) FROM teachers WHERE avatar LIKE '/images/uploads/%'
  UNION SELECT CAST(substr(avatar, 17) AS INTEGER) FROM students WHERE avatar LIKE '/images/uploads/%'
  UNION SELECT CAST(substr(user_avatar, 17) AS INTEGER) FROM news_returns
    WHERE user_avatar LIKE '/images/uploads/%');
)sql";

} // namespace

void createSchema(Connection &db)
{
    db.exec(kSchema);
    db.exec(kForgetReplacedPictures);
}

bool schoolIsMissing(Connection &db)
{
    return db.scalar("SELECT count(*) FROM schools").value_or(0) == 0;
}

void clearAllData(Connection &db)
{
    // Children before parents, so that the foreign keys hold at every step.
    constexpr std::array tables{"scores",  "tests",      "uploads",   "feedback",       "chats",
                                "states",  "homework",   "resources", "resource_types", "news_returns",
                                "news",    "news_types", "accounts",  "students",       "teachers",
                                "classes", "schools"};
    for (const char *table : tables)
        db.exec(std::string("DELETE FROM ") + table);
}
