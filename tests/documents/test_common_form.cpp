#include "DocumentTestSupport.h"
#include "documents/GetNewsByIdParser.h"
#include "documents/GetNewsesParser.h"
#include "documents/ResultParser.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using Text = std::optional<std::string>;

int32_t codeOf(const std::string &codeElement)
{
    return parsed<ResultParser>("<Result>" + codeElement + "</Result>")->code();
}

TEST(ResultCode, IsTheIntegerValueOfTheCodeElement)
{
    EXPECT_EQ(codeOf("<Code>0</Code>"), 0);
    EXPECT_EQ(codeOf("<Code> 12x</Code>"), 12);
    EXPECT_EQ(codeOf("<Code>-3</Code>"), -3);
    EXPECT_EQ(codeOf("<Code>abc</Code>"), 0);
    EXPECT_EQ(codeOf("<Code></Code>"), 0);
    EXPECT_EQ(codeOf("<Code>99999999999</Code>"), 2147483647);
    EXPECT_EQ(codeOf("<Code>5</Code><Code>7</Code>"), 7);
    EXPECT_EQ(codeOf("<Code>5</Code><Code/>"), 0);
}

TEST(ResultCode, ReadsAsSuccessWithoutAnExactlyNamedCodeElement)
{
    EXPECT_EQ(codeOf("<Error>x</Error>"), 0);
    EXPECT_EQ(codeOf("<code>5</code>"), 0);
    EXPECT_EQ(codeOf("<ns:Code xmlns:ns='urn:x'>5</ns:Code>"), 0);
    EXPECT_EQ(codeOf("<Result>5</Result>"), 0);
}

TEST(ResultCode, CountsInsideAnItemAndInsideWrappers)
{
    const auto parser = parsed<GetNewsesParser>("<R><News><Code>4</Code></News></R>");
    EXPECT_EQ(parser->code(), 4);
    EXPECT_EQ(parser->newses().size(), 1u);
    EXPECT_EQ(codeOf("<Wrap><Inner><Code>6</Code></Inner></Wrap>"), 6);
}

TEST(ErrorText, IsAbsentWhenEmptyAndOtherwiseKeptExactly)
{
    EXPECT_EQ(parsed<ResultParser>("<R><Error></Error></R>")->error(), std::nullopt);
    EXPECT_EQ(parsed<ResultParser>("<R><Error/></R>")->error(), std::nullopt);
    EXPECT_EQ(parsed<ResultParser>("<R><Error> </Error></R>")->error(), Text(" "));
    EXPECT_EQ(parsed<ResultParser>("<R><Error>用户名或密码错误</Error></R>")->error(),
              Text("用户名或密码错误"));
    EXPECT_EQ(parsed<ResultParser>("<R><Error>a</Error><Error></Error></R>")->error(), std::nullopt);
    EXPECT_EQ(parsed<ResultParser>("<R><Error>a</Error><Error>b</Error></R>")->error(), Text("b"));
}

TEST(Capture, JoinsThePiecesOfTextAroundReferences)
{
    const auto parser =
        parsed<GetNewsByIdParser>("<R><NewsTitle>A &amp; B</NewsTitle><NewsContent>&lt;p&gt;1 &#x4E2D; "
                                  "2&#20013;&quot;</NewsContent></R>");
    EXPECT_EQ(parser->item().newsTitle, Text("A & B"));
    EXPECT_EQ(parser->item().newsContent, Text("<p>1 中 2中\""));
}

TEST(Capture, KeepsWhiteSpaceAndLineBreaks)
{
    const auto parser =
        parsed<GetNewsByIdParser>("<R><NewsContent>\n  line one\r\n  line two \n</NewsContent></R>");
    // The reader normalises a carriage return and line feed to one line feed.
    EXPECT_EQ(parser->item().newsContent, Text("\n  line one\n  line two \n"));
}

TEST(Capture, AnElementsValueStopsAtItsFirstChildAndTextAfterAnEndTagBelongsToNoElement)
{
    const auto parser = parsed<GetNewsByIdParser>(
        "<R><NewsTitle>before<b>bold</b>after</NewsTitle>stray<NewsContent>x</NewsContent>tail</R>");
    EXPECT_EQ(parser->item().newsTitle, std::nullopt);
    EXPECT_EQ(parser->item().newsContent, Text("x"));
}

TEST(Capture, CdataCountsAsElementText)
{
    const auto parser = parsed<GetNewsByIdParser>("<R><NewsContent>a <![CDATA[<b> & ]]>z</NewsContent></R>");
    EXPECT_EQ(parser->item().newsContent, Text("a <b> & z"));
}

TEST(ListDocument, FieldsBeforeTheFirstItemAreDroppedAndAfterAnItemChangeIt)
{
    const auto parser = parsed<GetNewsesParser>("<R><NewsId>1</NewsId>"
                                                "<News><NewsId>2</NewsId></News><NewsId>3</NewsId>"
                                                "<News><NewsId>4</NewsId></News></R>");
    ASSERT_EQ(parser->newses().size(), 2u);
    EXPECT_EQ(parser->newses()[0].newsId, 3);
    EXPECT_EQ(parser->newses()[1].newsId, 4);
}

TEST(ListDocument, AnItemNestedInAnotherOfTheSameNameIsListedOnce)
{
    const auto parser = parsed<GetNewsesParser>("<R><News><NewsId>1</NewsId>"
                                                "<News><NewsId>2</NewsId></News>"
                                                "<NewsTitle>t</NewsTitle></News>"
                                                "<News><NewsId>3</NewsId></News></R>");
    ASSERT_EQ(parser->newses().size(), 2u);
    EXPECT_EQ(parser->newses()[0].newsId, 2);
    EXPECT_EQ(parser->newses()[0].newsTitle, Text("t"));
    EXPECT_EQ(parser->newses()[1].newsId, 3);
}

TEST(MalformedDocument, KeepsWhatWasReadBeforeTheFault)
{
    const auto parser = parsed<GetNewsesParser>("<R><Code>3</Code><Error>e</Error>"
                                                "<News><NewsId>1</NewsId></News>"
                                                "<News><NewsId>2</NewsId></News>"
                                                "<News><NewsId>3</NewsId><NewsTitle>broken</Oops>");
    EXPECT_EQ(parser->code(), 3);
    EXPECT_EQ(parser->error(), Text("e"));
    ASSERT_EQ(parser->newses().size(), 2u);
    EXPECT_EQ(parser->newses()[1].newsId, 2);
}

TEST(MalformedDocument, AFaultBeforeTheCodeLeavesSuccess)
{
    const auto parser = parsed<ResultParser>("<R><Error>a<</Error><Code>5</Code></R>");
    EXPECT_EQ(parser->code(), 0);
    EXPECT_EQ(parser->error(), std::nullopt);
}

TEST(EmptyDocument, LeavesTheParserAsMade)
{
    const auto list = parsed<GetNewsesParser>("");
    EXPECT_EQ(list->code(), 0);
    EXPECT_EQ(list->error(), std::nullopt);
    EXPECT_TRUE(list->newses().empty());
    EXPECT_EQ(parsed<GetNewsByIdParser>("")->item(), NewsItem{});
    EXPECT_EQ(parsed<GetNewsByIdParser>("not xml")->item(), NewsItem{});
}

} // namespace
