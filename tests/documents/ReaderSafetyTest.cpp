#include "BadlyEncodedXml.h"
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

// One large entity referenced many times: each expansion is linear, the total is not.
std::string quadraticBlowup()
{
    const std::string entity(50'000, 'x');
    std::string references;
    for (int i = 0; i < 20'000; ++i)
        references += "&a;";
    return "<!DOCTYPE q [<!ENTITY a \"" + entity + "\">]><q>" + references + "</q>";
}

const std::string kDataUrl = "file://" + std::string(HSSCHOOL_DOCUMENTS_DATA) + "/";

// Fully expanded, nested entities would be three thousand million characters, one large entity
// referenced many times a thousand million, and the same references in attributes as many.
TEST(ReaderSafety, EntityExpansionStopsEarly)
{
    EXPECT_LT(parsed<RecordingParser>(billionLaughs())->textLength, 4u * 1024 * 1024);
    const std::string repeated = quadraticBlowup();
    EXPECT_LT(parsed<RecordingParser>(repeated)->textLength, 2 * repeated.size() + 2u * 1024 * 1024);

    std::string inAttributes = "<!DOCTYPE q [<!ENTITY a \"" + std::string(50'000, 'x') + "\">]><q>";
    for (int i = 0; i < 2'000; ++i)
        inAttributes += "<e v=\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"/>";
    EXPECT_EQ(parsed<RecordingParser>(inAttributes + "<Code>1</Code></q>")->events.find("<Code>"),
              std::string::npos);
}

TEST(ReaderSafety, InternalEntitiesAreStillReplaced)
{
    const auto parser = parsed<RecordingParser>(
        "<!DOCTYPE r [<!ENTITY school \"实验小学\">]><r><t>&school; &amp; 家长</t></r>");
    EXPECT_EQ(parser->text, "实验小学 & 家长");
}

TEST(ReaderSafety, ExternalEntitiesAndDtdsAreNotLoaded)
{
    const auto entity = parsed<RecordingParser>("<!DOCTYPE r [<!ENTITY x SYSTEM \"" + kDataUrl +
                                                "secret.txt" + "\">]><r><t>a&x;b</t></r>");
    EXPECT_EQ(entity->events, "<r><t></t></r>");
    EXPECT_EQ(entity->text.find("TOP-SECRET"), std::string::npos);
    const auto dtd = parsed<RecordingParser>("<!DOCTYPE r SYSTEM \"" + kDataUrl + "external.dtd" +
                                             "\"><r><t>a&fromDtd;b</t></r>");
    EXPECT_NE(dtd->events.find("<t>"), std::string::npos);
    EXPECT_EQ(dtd->text.find("TOP-SECRET"), std::string::npos);
}

// Bytes that do not convert from the declared encoding end the document; what the reader says
// about them goes to the diagnostic log, and nothing at all to standard error.
TEST(ReaderSafety, ReaderReportsGoToTheLogAndNeverToStandardError)
{
    for (const BadlyEncodedXml &document :
         badlyEncodedXml("<Result><Code>5</Code><Error>", "</Error></Result>")) {
        SCOPED_TRACE(document.name);
        LogCapture log;
        StandardErrorCapture standardError;
        RecordingParser parser;
        const bool wellFormed = hsParseDocument(document.bytes, parser);
        EXPECT_EQ(standardError.text(), "");
        EXPECT_FALSE(wellFormed);
        EXPECT_NE(parser.events.find("<Code>"), std::string::npos);
        const auto lines = log.lines();
        EXPECT_TRUE(std::ranges::any_of(lines, [](const std::string &line) {
            return line.starts_with("Error reading result document: input conversion failed");
        }));
    }
}

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
        {"entity declared", "<!DOCTYPE r [<!ENTITY x \"declared\">]><r>&x;</r>", true},
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

// Markup that would cost the reader seconds to minutes, or that hides such markup from a check that
// reads the bytes naively, is refused before anything of it is read, in well under the time a
// user would wait.
TEST(ReaderSafety, MarkupFloodsAreRefusedUnreadAndQuickly)
{
    const std::string forty = floodOfAttributes(40);
    std::string namespaces = "<r>";
    for (int i = 0; i < 10; ++i)
        namespaces += "<e" + floodOfAttributes(10, "xmlns:p" + std::to_string(i) + "_") + ">";
    std::string largeDoctype = "<!DOCTYPE r [";
    for (int i = 0; largeDoctype.size() < 300 * 1024; ++i)
        largeDoctype += "<!ELEMENT e" + std::to_string(i) + " ANY>";
    const struct
    {
        const char *what;
        std::string document;
    } cases[] = {
        {"attributes of 1 MiB", elementWithAttributesOf(1024 * 1024, "Result")},
        {"attributes of 3.3 MiB", elementWithAttributesOf(3400 * 1024, "Result")},
        {"namespace declarations", namespaces + "<Code>1</Code>"},
        {"distinct names", "<r>" + floodOfNames(300'000) + "<Code>1</Code></r>"},
        {"nested parameter entities", nestedParameterEntities(4) + "<r><Code>1</Code></r>"},
        {"markup in an entity", "<!DOCTYPE r [<!ENTITY e '&#60;x" + forty + "/>'>]><r>&e;</r>"},
        {"large document type declaration", largeDoctype + "]><r><Code>1</Code></r>"},
        {"a quote in a comment", "<r><!-- \" --><x" + forty + "/><Code>1</Code></r>"},
        {"a quote in text", "<r>\"<x" + forty + "/><Code>1</Code></r>"},
        // 0x81 0x5D is one character whose second byte is "]": the section does not end there.
        {"Shift_JIS section end",
         "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><r><![CDATA[\x81]]><!-- ]]><x" + forty +
             "/><Code>1</Code> --></r>"},
        {"UTF-16", utf16le("<r><x" + forty + "/><Code>1</Code></r>")},
        {"an encoding the check cannot follow",
         "<?xml version=\"1.0\" encoding=\"ISO-2022-JP\"?><r><Code>1</Code></r>"},
    };
    for (const auto &hostile : cases) {
        SCOPED_TRACE(hostile.what);
        LogCapture log;
        RecordingParser parser;
        bool wellFormed = true;
        EXPECT_LT(secondsFor([&] { wellFormed = hsParseDocument(hostile.document, parser); }), 2.0);
        EXPECT_FALSE(wellFormed);
        EXPECT_EQ(parser.events, "");
        EXPECT_TRUE(std::ranges::any_of(log.lines(), [](const std::string &line) {
            return line.starts_with("Error reading result document: ");
        }));
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
        {"a text entity", "<!DOCTYPE r [<!ENTITY s \"a > b\">]><r>&s;</r>", "<r></r>", "a > b"},
        {"processing instructions", "<?xml version=\"1.0\"?><?style a=\"<\"?><r><?pi x?>t</r>", "<r></r>",
         "t"},
        {"Shift_JIS section", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><r><![CDATA[\x81]]]></r>",
         "<r></r>", "\xe2\x80\x90"},
        {"UTF-16", utf16le("<?xml version=\"1.0\" encoding=\"UTF-16\"?><r a=\"1\">t</r>"), "<r></r>", "t"},
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
    EXPECT_LT(secondsFor([&] { wellFormed = hsParseDocument(document, parser); }), 2.0);
    EXPECT_FALSE(wellFormed);
    EXPECT_EQ(parser.events, "<r><Code></Code>");
}

} // namespace
