#include "CacheTestSupport.h"
#include "cache/NewsDao.h"
#include "cache/NewsTypeDao.h"
#include "cache/ResourceDao.h"
#include "cache/ResourceTypeDao.h"

#include <gmock/gmock.h>

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::IsEmpty;

namespace {

NewsItem fullHeadline(int32_t newsId, std::string title)
{
    NewsItem item;
    item.newsId = newsId;
    item.newsTitle = std::move(title);
    item.publicDate = "2013-05-0" + std::to_string(newsId % 10);
    item.forceReturn = newsId % 2;
    item.classId = 300 + newsId;
    item.typeCode = "item's own code";
    item.imageUrl = "http://127.0.0.1/pic/" + std::to_string(newsId) + ".jpg";
    item.newsContent = "body text";
    return item;
}

ResourceItem resource(int32_t resId, std::string title, std::string ownTypeCode)
{
    ResourceItem item;
    item.resId = resId;
    item.resTitle = std::move(title);
    item.resThumb = "http://127.0.0.1/thumb/" + std::to_string(resId) + ".png";
    item.updateDate = "2013-06-01";
    item.typeCode = std::move(ownTypeCode);
    item.resContent = "description";
    item.resImage = "http://127.0.0.1/big.png";
    item.phone = "0571-1234567";
    item.address = "1 School Road";
    item.longitude = 120.5f;
    item.latitude = 30.25f;
    item.web = "http://example.org";
    return item;
}

NewsTypeItem newsType(int32_t typeId, std::string code, std::string name, int32_t typeType)
{
    return NewsTypeItem{typeId, std::move(code), std::move(name), typeType};
}

std::vector<int32_t> newsIds(const std::vector<NewsItem> &items)
{
    std::vector<int32_t> ids;
    for (const NewsItem &item : items)
        ids.push_back(item.newsId);
    return ids;
}

std::vector<int32_t> typeIds(const auto &items)
{
    std::vector<int32_t> ids;
    for (const auto &item : items)
        ids.push_back(item.typeId);
    return ids;
}

} // namespace

TEST_F(CacheTest, HeadlineKeepsItsListFieldsAndDropsPictureAndContent)
{
    signIn();
    NewsDao dao;
    const NewsItem stored = fullHeadline(7, "运动会通知\n请家长配合");
    ASSERT_EQ(dao.replaceCategory("N01", {stored}), 1);

    const std::vector<NewsItem> read = dao.initSelects("N01");
    ASSERT_EQ(read.size(), 1u);
    NewsItem expected = stored;
    expected.typeCode = "N01";
    expected.imageUrl = "";
    expected.newsContent.reset();
    EXPECT_EQ(read.front(), expected);
}

TEST_F(CacheTest, ResourceKeepsItsListFieldsUnderTheSelectedCategory)
{
    signIn();
    ResourceDao dao;
    ASSERT_EQ(dao.replaceCategory("R02", {resource(4, "图书馆", "R09")}), 1);

    EXPECT_THAT(dao.initSelects("R09"), IsEmpty());
    const std::vector<ResourceItem> read = dao.initSelects("R02");
    ASSERT_EQ(read.size(), 1u);
    ResourceItem expected;
    expected.resId = 4;
    expected.typeCode = "R02";
    expected.resTitle = "图书馆";
    expected.updateDate = "2013-06-01";
    expected.resThumb = "http://127.0.0.1/thumb/4.png";
    EXPECT_EQ(read.front(), expected);
}

TEST_F(CacheTest, CategoriesRoundTripInTypeIdOrderSplitByNoticeOrNews)
{
    signIn();
    NewsTypeDao newsTypes;
    ASSERT_EQ(newsTypes.replaceAll({newsType(3, "N3", "班级新闻", 2), newsType(2, "N2", "学校通知", 0),
                                    newsType(1, "N1", "校园新闻", 1), newsType(0, "N0", "紧急通知", 0)}),
              4);
    EXPECT_THAT(newsTypes.initSelectSchools(),
                ElementsAre(newsType(0, "N0", "紧急通知", 0), newsType(2, "N2", "学校通知", 0)));
    EXPECT_THAT(newsTypes.initSelectNews(),
                ElementsAre(newsType(1, "N1", "校园新闻", 1), newsType(3, "N3", "班级新闻", 2)));

    ResourceTypeDao resourceTypes;
    ASSERT_EQ(resourceTypes.replaceAll({{5, "R5", "场馆"}, {-1, "R0", "推荐"}, {2, "R2", "书店"}}), 3);
    EXPECT_THAT(resourceTypes.initSelects(),
                ElementsAre(ResourceTypeItem{-1, "R0", "推荐"}, ResourceTypeItem{2, "R2", "书店"},
                            ResourceTypeItem{5, "R5", "场馆"}));
    EXPECT_TRUE(logged("班级新闻"));
    EXPECT_TRUE(logged("场馆"));
}

TEST_F(CacheTest, CategoryListsComeBackHighestIdFirst)
{
    signIn();
    NewsDao news;
    news.replaceCategory(
        "N1", {fullHeadline(5, "e"), fullHeadline(9, "i"), fullHeadline(1, "a"), fullHeadline(7, "g")});
    EXPECT_THAT(newsIds(news.initSelects("N1")), ElementsAre(9, 7, 5, 1));

    ResourceDao resources;
    resources.replaceCategory("R1",
                              {resource(2, "b", "R1"), resource(30, "c", "R1"), resource(-4, "a", "R1")});
    std::vector<int32_t> ids;
    for (const ResourceItem &item : resources.initSelects("R1"))
        ids.push_back(item.resId);
    EXPECT_THAT(ids, ElementsAre(30, 2, -4));
}

TEST_F(CacheTest, SecondSignInOnTheSameFileKeepsTheRows)
{
    signIn();
    NewsTypeDao().replaceAll({newsType(1, "N1", "通知", 0)});
    NewsDao().replaceCategory("N1", {fullHeadline(3, "kept")});

    signIn();
    EXPECT_THAT(typeIds(NewsTypeDao().initSelectSchools()), ElementsAre(1));
    EXPECT_THAT(newsIds(NewsDao().initSelects("N1")), ElementsAre(3));
}

TEST_F(CacheTest, TextsWithSqlPunctuationAreStoredAsTheyAre)
{
    signIn();
    const std::vector<std::string> stored = {
        "O'Neil", "a -- b",     "x'); drop table ed_news; --", "semi;colon",
        "''",     "\"quoted\"", "line one\r\nline two"};
    std::vector<NewsItem> items;
    for (size_t index = 0; index < stored.size(); ++index)
        items.push_back(headline(static_cast<int32_t>(stored.size() - index), stored[index]));
    const std::string quotedCategory = "it's; --";
    ASSERT_EQ(NewsDao().replaceCategory(quotedCategory, items), static_cast<int>(items.size()));

    const std::vector<NewsItem> read = NewsDao().initSelects(quotedCategory);
    EXPECT_EQ(titles(read), stored);
    EXPECT_THAT(read, Each(Field(&NewsItem::typeCode, quotedCategory)));
}

TEST_F(CacheTest, AbsentTextStaysAbsentAndEmptyTextStaysEmpty)
{
    signIn();
    NewsItem absent;
    absent.newsId = 2;
    NewsItem empty;
    empty.newsId = 1;
    empty.newsTitle = "";
    empty.publicDate = "";
    NewsDao().replaceCategory("N", {absent, empty});

    const std::vector<NewsItem> read = NewsDao().initSelects("N");
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].newsTitle, std::nullopt);
    EXPECT_EQ(read[0].publicDate, std::nullopt);
    EXPECT_EQ(read[1].newsTitle, "");
    EXPECT_EQ(read[1].publicDate, "");

    NewsTypeDao().replaceAll({NewsTypeItem{}});
    const std::vector<NewsTypeItem> types = NewsTypeDao().initSelectSchools();
    ASSERT_EQ(types.size(), 1u);
    EXPECT_EQ(types.front(), NewsTypeItem{});
    EXPECT_TRUE(logged("(null)"));
}

TEST_F(CacheTest, RefreshReplacesOnlyItsOwnCategory)
{
    signIn();
    NewsDao news;
    news.replaceCategory("A", {fullHeadline(1, "a1"), fullHeadline(2, "a2"), fullHeadline(3, "a3")});
    news.replaceCategory("B", {fullHeadline(10, "b10")});
    news.replaceCategory("A", {fullHeadline(4, "a4"), fullHeadline(5, "a5")});
    EXPECT_THAT(newsIds(news.initSelects("A")), ElementsAre(5, 4));
    EXPECT_THAT(newsIds(news.initSelects("B")), ElementsAre(10));

    news.replaceCategory("B", {});
    EXPECT_THAT(news.initSelects("B"), IsEmpty());

    ResourceDao resources;
    resources.replaceCategory("R", {resource(1, "r1", "R"), resource(2, "r2", "R")});
    resources.replaceCategory("R", {resource(3, "r3", "other")});
    const std::vector<ResourceItem> read = resources.initSelects("R");
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read.front().resTitle, "r3");

    NewsTypeDao types;
    types.replaceAll({newsType(1, "N1", "one", 0), newsType(2, "N2", "two", 1)});
    types.replaceAll({newsType(3, "N3", "three", 0)});
    EXPECT_THAT(typeIds(types.initSelectSchools()), ElementsAre(3));
    EXPECT_THAT(types.initSelectNews(), IsEmpty());
}

TEST_F(CacheTest, SingleStatementOperationsWorkOnTheirOwn)
{
    signIn();
    NewsDao news;
    EXPECT_EQ(news.insert(fullHeadline(1, "one"), "A"), 1);
    EXPECT_EQ(news.inserts({fullHeadline(2, "two"), fullHeadline(3, "three")}, "B"), 2);
    EXPECT_TRUE(logged("insert into ed_news values(1,'A','one',301,1,'2013-05-01','')"));
    EXPECT_EQ(news.deletes("B"), 2);
    EXPECT_THAT(newsIds(news.initSelects("A")), ElementsAre(1));
    EXPECT_EQ(news.deletes(), 1);

    ResourceDao resources;
    EXPECT_EQ(resources.insert(resource(1, "own", "X")), 1);
    EXPECT_EQ(resources.insert({resource(2, "stamped", "X")}, "Y"), 1);
    EXPECT_EQ(resources.initSelects("X").size(), 1u);
    EXPECT_EQ(resources.initSelects("Y").front().resTitle, "stamped");
    EXPECT_EQ(resources.deletes("Y"), 1);
    EXPECT_EQ(resources.deletes(), 1);

    NewsTypeDao newsTypes;
    EXPECT_EQ(newsTypes.insert(newsType(1, "N", "n", 0)), 1);
    EXPECT_EQ(newsTypes.deletes(), 1);
    ResourceTypeDao resourceTypes;
    EXPECT_EQ(resourceTypes.insert({1, "R", "r"}), 1);
    EXPECT_EQ(resourceTypes.deletes(), 1);
    EXPECT_GE(resourceTypes.createTable(), 0);
}

// A bare accessor with the base hooks: rows are counted but nothing is filled in.
TEST_F(CacheTest, BaseQueryBindsParametersInOrderAndHooksDecideTheRecord)
{
    signIn();
    NewsDao news;
    news.replaceCategory("A", {fullHeadline(1, "one"), fullHeadline(2, "two"), fullHeadline(3, "three")});

    const auto matched =
        news.initSelectObjs("select * from ed_news where type_code=?1 and news_id>=?2 order by news_id",
                            {"A", "2"}, hsSelectTypeRow);
    EXPECT_THAT(newsIds(matched), ElementsAre(2, 3));
    EXPECT_THAT(news.initSelectObjs("select * from ed_news where type_code=?1", {"none"}, hsSelectTypeRow),
                IsEmpty());
    EXPECT_THAT(news.initSelectObjs("select * from ed_news", {}, 2),
                ElementsAre(NewsItem{}, NewsItem{}, NewsItem{}));
    EXPECT_THAT(DAO<NewsItem>().initSelectObjs("select * from ed_news", {}, hsSelectTypeRow),
                ElementsAre(NewsItem{}, NewsItem{}, NewsItem{}));
}
