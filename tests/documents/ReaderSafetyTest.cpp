#include "DocumentTestSupport.h"
#include "HostileXml.h"
#include "LogCapture.h"
#include "StandardErrorCapture.h"
#include "documents/DocumentParser.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace {

// Records what the reader hands over, keeping only a bounded amount of the text itself.
class RecordingParser : public DocumentParser
{
public:
    void startElement(std::string_view name) override { events += "<" + std::string(name) + ">"; }
    void characters(std::string_view piece) override
    {
        textLength += piece.size();
        if (text.size() < 4096)
            text.append(piece.substr(0, 4096));
    }
    void endElement(std::string_view name) override { events += "</" + std::string(name) + ">"; }

    std::string events;
    std::string text;
    size_t textLength = 0;
};

std::string billionLaughs()
{
    std::string document = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n<!ENTITY lol0 \"lol\">\n";
    for (int level = 1; level <= 9; ++level) {
        document += "<!ENTITY lol" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i)
            document += "&lol" + std::to_string(level - 1) + ";";
        document += "\">\n";
    }
    return document + "]>\n<lolz>&lol9;</lolz>\n";
}

const std::string kDataUrl = "file://" + std::string(HSSCHOOL_DOCUMENTS_DATA) + "/";

TEST(ReaderSafety, NamesArriveAsWrittenWithTheirPrefixes)
{
    const auto parser = parsed<RecordingParser>("<a:R xmlns:a='urn:x'><a:Code>1</a:Code><Code/></a:R>");
    EXPECT_EQ(parser->events, "<a:R><a:Code></a:Code><Code></Code></a:R>");
}

// A thread reads every document with the same reader underneath: nothing a document declares,
// breaks or fills up may reach the documents read after it.
TEST(ReaderSafety, EachDocumentIsReadAsIfItWereTheFirst)
{
    std::string manyNames = "<r>";
    for (int i = 0; i < 6'000; ++i)
        manyNames += "<n" + std::to_string(i) + "/>";
    manyNames += "</r>";
    const std::string probe = "<r><t>a&amp;b</t><Code>7</Code></r>";
    const auto fresh = parsed<RecordingParser>(probe);

    const struct
    {
        const char *what;
        std::string document;
        bool wellFormed;
    } before[] = {
        {"entity declared", "<!DOCTYPE r [<!ENTITY x \"declared\">]><r>&x;</r>", false},
        {"cut short", "<r><t>unfinished", false},
        {"not XML", "plain text", false},
        {"expanding without end", billionLaughs(), false},
        {"thousands of names", manyNames, true},
    };
    for (const auto &previous : before) {
        SCOPED_TRACE(previous.what);
        RecordingParser first;
        EXPECT_EQ(hsParseDocument(previous.document, first), previous.wellFormed);

        RecordingParser undeclared;
        EXPECT_FALSE(hsParseDocument("<r>&x;</r>", undeclared));
        RecordingParser again;
        EXPECT_TRUE(hsParseDocument(probe, again));
        EXPECT_EQ(again.events, fresh->events);
        EXPECT_EQ(again.text, fresh->text);
    }
}

// A parser may read other documents while it is being fed one: each read keeps its own tree.
TEST(ReaderSafety, DocumentsReadInsideAReadingLeaveItWhole)
{
    class NestingParser : public RecordingParser
    {
    public:
        void startElement(std::string_view name) override
        {
            RecordingParser::startElement(name);
            RecordingParser inner;
            hsParseDocument("<i><j>" + std::string(name) + "</j><k>&lt;</k></i>", inner);
            innerEvents += inner.events + inner.text;
        }
        std::string innerEvents;
    };
    const auto innerRead = [](const std::string &name) { return "<i><j></j><k></k></i>" + name + "<"; };
    std::string document = "<r>";
    std::string expectedInner = innerRead("r");
    for (int i = 0; i < 300; ++i) {
        const std::string name = "e" + std::to_string(i);
        document += "<" + name + ">t</" + name + ">";
        expectedInner += innerRead(name);
    }
    document += "</r>";
    const auto alone = parsed<RecordingParser>(document);
    NestingParser nesting;
    EXPECT_TRUE(hsParseDocument(document, nesting));
    EXPECT_EQ(nesting.events, alone->events);
    EXPECT_EQ(nesting.text, alone->text);
    EXPECT_EQ(nesting.innerEvents, expectedInner);
}

// What the reader refuses unread, where it stops, and what it lets pass. Nothing of a document
// type declaration is used: no entity is declared, expanded or fetched. Whatever the reader finds
// wrong goes to the diagnostic log and nothing to standard error.
TEST(ReaderSafety, RefusedAndMalformedDocuments)
{
    const struct
    {
        const char *what;
        std::string document;
        bool wellFormed;
        std::string events;
    } cases[] = {
        {"an internal entity", "<!DOCTYPE r [<!ENTITY x \"declared\">]><r><t>&x;</t></r>", false, ""},
        {"nested entities", billionLaughs(), false, ""},
        {"an external entity",
         "<!DOCTYPE r [<!ENTITY x SYSTEM \"" + kDataUrl + "secret.txt\">]><r><t>a&x;b</t></r>", false, ""},
        {"an external subset", "<!DOCTYPE r SYSTEM \"" + kDataUrl + "external.dtd\"><r><t>&fromDtd;</t></r>",
         false, ""},
        {"a declaration inside", "<r><Code>1</Code><!DOCTYPE r></r>", false, ""},
        {"an undeclared entity", "<r><Code>1</Code><t>a&x;b</t><Error>e</Error></r>", false,
         "<r><Code></Code><t>"},
        {"a reference to no character", "<r><Code>1</Code><t>&#1;</t></r>", false, "<r><Code></Code><t>"},
        {"an ampersand alone", "<r><Code>1</Code><t a=\"&\"/></r>", false, "<r><Code></Code>"},
        {"ampersands that are no references", "<r><!-- & --><?p & ?><![CDATA[&]]><Code>1</Code></r>", true,
         "<r><Code></Code></r>"},
        {"a byte that is no UTF-8", "<r><Code>1</Code><t>\xff</t></r>", false, "<r><Code></Code><t>"},
        {"a control character", "<r><Code>1</Code><t>\x01</t></r>", false, "<r><Code></Code><t>"},
        {"another encoding declared", "<?xml version=\"1.0\" encoding=\"GB2312\"?><r><Code>1</Code></r>",
         false, ""},
        {"UTF-16", utf16le("<r><Code>1</Code></r>"), false, ""},
        {"two root elements", "<r><Code>1</Code></r><r/>", false, "<r><Code></Code></r>"},
        {"text after the root element", "<r><Code>1</Code></r>text", false, "<r><Code></Code></r>"},
    };
    for (const auto &document : cases) {
        SCOPED_TRACE(document.what);
        LogCapture log;
        StandardErrorCapture standardError;
        RecordingParser parser;
        bool wellFormed = !document.wellFormed;
        EXPECT_LT(threadSecondsFor([&] { wellFormed = hsParseDocument(document.document, parser); }), 2.0);
        EXPECT_EQ(wellFormed, document.wellFormed);
        EXPECT_EQ(parser.events, document.events);
        EXPECT_EQ(parser.text.find("TOP-SECRET"), std::string::npos);
        EXPECT_EQ(parser.text.find("lol"), std::string::npos);
        EXPECT_EQ(standardError.text(), "");
        EXPECT_EQ(document.wellFormed, std::ranges::none_of(log.lines(), [](const std::string &line) {
                      return line.starts_with("Error reading result document: ");
                  }));
    }
}

// Markup that once cost an XML reader seconds to minutes is read in time linear in its size;
// markup that would make a tree of millions of nodes ends where the tree has taken its share.
TEST(ReaderSafety, MarkupFloodsAreReadQuickly)
{
    std::string nodes = "<r>";
    while (nodes.size() < 8 * 1024 * 1024)
        nodes += "<a/><a/><a/><a/>";
    RecordingParser flooded;
    EXPECT_FALSE(hsParseDocument(nodes + "<Code>1</Code></r>", flooded));
    EXPECT_EQ(flooded.events.find("<Code>"), std::string::npos);

    std::string namespaces = "<r>";
    for (int i = 0; i < 10; ++i)
        namespaces += "<e" + floodOfAttributes(10, "xmlns:p" + std::to_string(i) + "_") + ">";
    const std::string cases[] = {
        elementWithAttributesOf(3400 * 1024, "Result"),
        namespaces + "<Code>1</Code>",
        "<r>" + floodOfNames(300'000) + "<Code>1</Code></r>",
        nestedParameterEntities(4) + "<r><Code>1</Code></r>",
    };
    for (const std::string &flood : cases) {
        SCOPED_TRACE(flood.substr(0, 60));
        RecordingParser parser;
        EXPECT_LT(threadSecondsFor([&] { hsParseDocument(flood, parser); }), 2.0);
    }
}

// What the check skips over, and what it allows, still reads as it always did.
TEST(ReaderSafety, OrdinaryMarkupReadsAsBefore)
{
    const struct
    {
        const char *what;
        std::string document, events, text;
    } cases[] = {
        {"quotes in a comment", "<r><!-- it's \"quoted\" <x a=\" --><Code>1</Code></r>",
         "<r><Code></Code></r>", "1"},
        {"a tag in a section", "<r><![CDATA[<a b=\"]]><Code>2</Code></r>", "<r><Code></Code></r>",
         "<a b=\"2"},
        {"markup characters in values", "<r a=\"x>y\" b='p=q' c=\"&amp;&lt;\"><Code>3</Code></r>",
         "<r><Code></Code></r>", "3"},
        {"32 attributes", "<r" + floodOfAttributes(32) + "><Code>4</Code></r>", "<r><Code></Code></r>", "4"},
        {"processing instructions", "<?xml version=\"1.0\"?><?style a=\"<\"?><r><?pi x?>t</r>", "<r></r>",
         "t"},
    };
    for (const auto &ordinary : cases) {
        SCOPED_TRACE(ordinary.what);
        RecordingParser parser;
        EXPECT_TRUE(hsParseDocument(ordinary.document, parser));
        EXPECT_EQ(parser.events, ordinary.events);
        EXPECT_EQ(parser.text, ordinary.text);
    }
}

// A document still being read when its time is up is not well-formed, and says so once in the log;
// within its time the same document reads whole.
TEST(ReaderSafety, ReadingThatRunsOutOfTimeStops)
{
    std::string document = "<Result><Code>0</Code>";
    for (int i = 0; i < 20'000; ++i)
        document += "<News><NewsId>" + std::to_string(i) + "</NewsId></News>";
    document += "</Result>";
    LogCapture log;
    RecordingParser late;
    EXPECT_FALSE(hsParseDocument(document, late, std::chrono::milliseconds(0)));
    EXPECT_LT(late.events.size(), document.size() / 10);
    EXPECT_EQ(std::ranges::count(log.lines(), "Error reading result document: reading took longer than 0 ms"),
              1);
    RecordingParser inTime;
    EXPECT_TRUE(hsParseDocument(document, inTime));
}

// Past its first fault a document is not read on: markup beyond it costs nothing, however much of
// it there is.
TEST(ReaderSafety, ReadingStopsAtTheFirstFault)
{
    const std::string document =
        "<r><Code>1</Code><a b=\"1\"c=\"2\"/>" + elementWithAttributesOf(3400 * 1024) + "</r>";
    RecordingParser parser;
    bool wellFormed = true;
    EXPECT_LT(threadSecondsFor([&] { wellFormed = hsParseDocument(document, parser); }), 2.0);
    EXPECT_FALSE(wellFormed);
    EXPECT_EQ(parser.events, "<r><Code></Code>");
}

} // namespace
