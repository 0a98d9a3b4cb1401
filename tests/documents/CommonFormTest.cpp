#include "DocumentTestSupport.h"
#include "documents/GetNewsByIdParser.h"
#include "documents/GetNewsesParser.h"
#include "documents/ResultParser.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace {

using Text = std::optional<std::string>;

// The code is the integer value of the last element named exactly "Code", wherever it stands;
// without one the document reads as success.
TEST(ResultCode, IsTheIntegerValueOfTheLastExactlyNamedCodeElement)
{
    const std::pair<const char *, int32_t> cases[] = {
        {"<Code>0</Code>", 0},
        {"<Code> 12x</Code>", 12},
        {"<Code>-3</Code>", -3},
        {"<Code>abc</Code>", 0},
        {"<Code>99999999999</Code>", 2147483647},
        {"<Code>5</Code><Code>7</Code>", 7},
        {"<Code>5</Code><Code/>", 0},
        {"<Error>x</Error>", 0},
        {"<code>5</code>", 0},
        {"<ns:Code xmlns:ns='urn:x'>5</ns:Code>", 0},
        {"<Wrap><Inner><Code>6</Code></Inner></Wrap>", 6},
    };
    for (const auto &[inner, code] : cases)
        EXPECT_EQ(parsed<ResultParser>(std::string("<Result>") + inner + "</Result>")->code(), code) << inner;

    const auto list = parsed<GetNewsesParser>("<R><News><Code>4</Code></News></R>");
    EXPECT_EQ(list->code(), 4);
    EXPECT_EQ(list->newses().size(), 1u);
}

TEST(ErrorText, IsAbsentWhenEmptyAndOtherwiseKeptExactly)
{
    const std::pair<const char *, Text> cases[] = {
        {"<Error></Error>", std::nullopt},
        {"<Error/>", std::nullopt},
        {"<Error> </Error>", " "},
        {"<Error>用户名或密码错误</Error>", "用户名或密码错误"},
        {"<Error>a</Error><Error></Error>", std::nullopt},
        {"<Error>a</Error><Error>b</Error>", "b"},
    };
    for (const auto &[inner, error] : cases)
        EXPECT_EQ(parsed<ResultParser>(std::string("<R>") + inner + "</R>")->error(), error) << inner;
}

// An element's value is its text up to its first child, joined across references and CDATA, with
// white space kept; text after an end tag belongs to no element.
TEST(Capture, AnElementsValueIsItsWholeTextBeforeAnyChild)
{
    const struct
    {
        const char *document;
        Text title;
        Text content;
    } cases[] = {
        {"<R><NewsTitle>A &amp; B</NewsTitle><NewsContent>&lt;p&gt;1 &#x4E2D; "
         "2&#20013;&quot;</NewsContent></R>",
         "A & B", "<p>1 中 2中\""},
        // The reader normalises a carriage return and line feed to one line feed.
        {"<R><NewsContent>\n  line one\r\n  line two \n</NewsContent></R>", std::nullopt,
         "\n  line one\n  line two \n"},
        {"<R><NewsTitle>before<b>bold</b>after</NewsTitle>stray<NewsContent>x</NewsContent>tail</R>",
         std::nullopt, "x"},
        {"<R><NewsContent>a <![CDATA[<b> & ]]>z</NewsContent></R>", std::nullopt, "a <b> & z"},
    };
    for (const auto &capture : cases) {
        SCOPED_TRACE(capture.document);
        const auto parser = parsed<GetNewsByIdParser>(capture.document);
        EXPECT_EQ(parser->item().newsTitle, capture.title);
        EXPECT_EQ(parser->item().newsContent, capture.content);
    }
}

std::vector<int32_t> newsIds(const GetNewsesParser &parser)
{
    std::vector<int32_t> ids;
    for (const NewsItem &item : parser.newses())
        ids.push_back(item.newsId);
    return ids;
}

// Fields before the first item are dropped, fields after an item change it, and an item nested in
// another of the same name is listed once.
TEST(ListDocument, FieldsBelongToTheLastItemStartedAndNestedItemsAreListedOnce)
{
    EXPECT_EQ(newsIds(*parsed<GetNewsesParser>("<R><NewsId>1</NewsId><News><NewsId>2</NewsId></News>"
                                               "<NewsId>3</NewsId><News><NewsId>4</NewsId></News></R>")),
              (std::vector<int32_t>{3, 4}));
    const auto nested =
        parsed<GetNewsesParser>("<R><News><NewsId>1</NewsId><News><NewsId>2</NewsId></News>"
                                "<NewsTitle>t</NewsTitle></News><News><NewsId>3</NewsId></News></R>");
    EXPECT_EQ(newsIds(*nested), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(nested->newses()[0].newsTitle, Text("t"));
}

TEST(MalformedDocument, KeepsWhatWasReadBeforeTheFault)
{
    const auto parser =
        parsed<GetNewsesParser>("<R><Code>3</Code><Error>e</Error>"
                                "<News><NewsId>1</NewsId></News><News><NewsId>2</NewsId></News>"
                                "<News><NewsId>3</NewsId><NewsTitle>broken</Oops>");
    EXPECT_EQ(parser->code(), 3);
    EXPECT_EQ(parser->error(), Text("e"));
    EXPECT_EQ(newsIds(*parser), (std::vector<int32_t>{1, 2}));

    const auto early = parsed<ResultParser>("<R><Error>a<</Error><Code>5</Code></R>");
    EXPECT_EQ(early->code(), 0);
    EXPECT_EQ(early->error(), std::nullopt);

    EXPECT_TRUE(parsed<GetNewsesParser>("")->newses().empty());
    EXPECT_EQ(parsed<GetNewsByIdParser>("not xml")->item(), NewsItem{});
}

} // namespace
