// The server's own building blocks below HTTP: the answer writer and the kept statements.
#include "Database.h"
#include "ServerTestSupport.h"
#include "XmlText.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <libxml/entities.h>
#include <memory>
#include <string>

namespace {

// Peers compare answers byte for byte, so the writer's escaping and forms are pinned.
TEST(XmlWriter, EscapesTextAndAttributesAndWritesTheUsualForms)
{
    XmlText xml;
    xml.open("r");
    xml.attribute("a", "<&>\"'\r\n\t中");
    xml.element("e", "<&>\"'\r\n\t中");
    xml.element("empty-text", "");
    xml.open("nothing");
    xml.close();
    xml.text(std::string("cut\0here", 8));
    xml.open("left-open");
    EXPECT_EQ(xml.finish(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<r a=\"&lt;&amp;&gt;&quot;'&#13;&#10;&#9;中\">"
                            "<e>&lt;&amp;&gt;&quot;'&#13;\n\t中</e><empty-text></empty-text><nothing/>cut"
                            "<left-open/></r>\n");
}

// A result document written escaped as text must be byte for byte the document escaped by the
// library as a whole, whatever its texts and attribute values hold.
TEST(XmlWriter, EscapedAsTextFormIsTheDocumentEscapedAsText)
{
    const std::string values[] = {"",        "plain 中文", "<&>\"'",
                                  "a&amp;b", "\r\n\t",     std::string("cut\0here", 8)};
    for (const std::string &value : values) {
        const auto write = [&value](XmlText::Form form) {
            XmlText xml(form);
            xml.open("Result");
            xml.attribute("kind", value);
            xml.element("Code", "0");
            xml.element("Error", value);
            xml.open("News");
            xml.close();
            xml.text(value);
            return xml.finish();
        };
        const std::string document = write(XmlText::Form::document);
        const std::unique_ptr<xmlChar, decltype(xmlFree)> escaped(
            xmlEncodeSpecialChars(nullptr, reinterpret_cast<const xmlChar *>(document.c_str())), xmlFree);
        ASSERT_NE(escaped, nullptr);
        EXPECT_EQ(write(XmlText::Form::escapedAsText), reinterpret_cast<const char *>(escaped.get()))
            << "value: " << value;
    }
}

class KeptStatements : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SKIP_UNLESS_SQLITE();
        path_ = ::testing::TempDir() + "kept-statements.sqlite3";
        std::remove(path_.c_str());
        openSqlite(path_)->exec("CREATE TABLE t (v INTEGER); INSERT INTO t VALUES (1), (2);");
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
    const auto reader = openSqlite(path_);
    const char *query = "SELECT v FROM t WHERE v >= ? ORDER BY v";
    {
        Statement first = reader->prepare(query);
        ASSERT_TRUE(first.bindAll(1).step());
        Statement second = reader->prepare(query);
        ASSERT_TRUE(second.bindAll(2).step());
        EXPECT_EQ(first.integer(0), 1);
        EXPECT_EQ(second.integer(0), 2);
    }
    openSqlite(path_)->run("UPDATE t SET v = v + 10");
    Statement again = reader->prepare(query);
    EXPECT_FALSE(again.step()) << "the parameter of the last use was kept";
    EXPECT_EQ(reader->scalar("SELECT min(v) FROM t WHERE v >= ?", 0), 11) << "an old snapshot was read";
}

} // namespace
