// The statements a database connection of the server keeps from call to call.
#include "Database.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

class KeptStatements : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path_ = ::testing::TempDir() + "kept-statements.sqlite3";
        std::remove(path_.c_str());
        Connection(path_).exec("CREATE TABLE t (v INTEGER); INSERT INTO t VALUES (1), (2);");
    }
    void TearDown() override
    {
        for (const char *suffix : {"", "-wal", "-shm"})
            std::remove((path_ + suffix).c_str());
    }
    std::string path_;
};

// A statement left part-way must not keep its connection reading an old snapshot, nor keep the
// values bound for the last use; the same text used twice at once gets two statements.
TEST_F(KeptStatements, StartAfreshEachTimeAndNeverShareOneStatement)
{
    Connection reader(path_);
    const char *query = "SELECT v FROM t WHERE v >= ? ORDER BY v";
    {
        Statement first = reader.prepare(query);
        ASSERT_TRUE(first.bindAll(1).step());
        Statement second = reader.prepare(query);
        ASSERT_TRUE(second.bindAll(2).step());
        EXPECT_EQ(first.integer(0), 1);
        EXPECT_EQ(second.integer(0), 2);
    }
    Connection(path_).run("UPDATE t SET v = v + 10");
    Statement again = reader.prepare(query);
    EXPECT_FALSE(again.step()) << "the parameter of the last use was kept";
    EXPECT_EQ(reader.scalar("SELECT min(v) FROM t WHERE v >= ?", 0), 11) << "an old snapshot was read";
}

} // namespace
