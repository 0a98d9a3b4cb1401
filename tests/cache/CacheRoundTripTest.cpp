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

// clang-format off
NewsItem fullHeadline(int32_t id, std::string title)
{
    return {id, std::move(title), "2013-05-0" + std::to_string(id % 10), id % 2, "item's own code",
            "http://127.0.0.1/pic/" + std::to_string(id) + ".jpg", "body text", 300 + id};
}

ResourceItem resource(int32_t id, std::string title, std::string ownTypeCode)
{
    return {id, std::move(title), "http://127.0.0.1/thumb/" + std::to_string(id) + ".png", "2013-06-01",
            "description", "http://127.0.0.1/big.png", "0571-1234567", "1 School Road", 120.5f, 30.25f,
            "http://example.org", std::move(ownTypeCode)};
}
// clang-format on

template <typename Item, typename Id> std::vector<int32_t> ids(const std::vector<Item> &items, Id Item::*id)
{
    std::vector<int32_t> result;
    for (const Item &item : items)
        result.push_back(item.*id);
    return result;
}

} // namespace

TEST_F(CacheTest, CategoriesRoundTripInTypeIdOrderSplitByNoticeOrNews)
{
    signIn();
    NewsTypeDao newsTypes;
    ASSERT_EQ(
        newsTypes.replaceAll({NewsTypeItem{3, "N3", "班级新闻", 2}, NewsTypeItem{2, "N2", "学校通知", 0},
                              NewsTypeItem{1, "N1", "校园新闻", 1}, NewsTypeItem{0, "N0", "紧急通知", 0}}),
        4);
    EXPECT_THAT(newsTypes.initSelectSchools(),
                ElementsAre(NewsTypeItem{0, "N0", "紧急通知", 0}, NewsTypeItem{2, "N2", "学校通知", 0}));
    EXPECT_THAT(newsTypes.initSelectNews(),
                ElementsAre(NewsTypeItem{1, "N1", "校园新闻", 1}, NewsTypeItem{3, "N3", "班级新闻", 2}));

    ResourceTypeDao resourceTypes;
    ASSERT_EQ(resourceTypes.replaceAll({{5, "R5", "场馆"}, {-1, "R0", "推荐"}, {2, "R2", "书店"}}), 3);
    EXPECT_THAT(resourceTypes.initSelects(),
                ElementsAre(ResourceTypeItem{-1, "R0", "推荐"}, ResourceTypeItem{2, "R2", "书店"},
                            ResourceTypeItem{5, "R5", "场馆"}));
}

// Lists come back highest id first; a refresh replaces only its own category, whatever category
// its items name.
TEST_F(CacheTest, RefreshReplacesOnlyItsOwnCategoryAndListsComeBackHighestIdFirst)
{
    signIn();
    NewsDao news;
    news.replaceCategory("A", {fullHeadline(1, "a1"), fullHeadline(2, "a2"), fullHeadline(3, "a3")});
    news.replaceCategory("B", {fullHeadline(10, "b10")});
    news.replaceCategory("A", {fullHeadline(5, "e"), fullHeadline(9, "i"), fullHeadline(4, "d")});
    EXPECT_THAT(ids(news.initSelects("A"), &NewsItem::newsId), ElementsAre(9, 5, 4));
    EXPECT_THAT(ids(news.initSelects("B"), &NewsItem::newsId), ElementsAre(10));
    news.replaceCategory("B", {});
    EXPECT_THAT(news.initSelects("B"), IsEmpty());

    ResourceDao resources;
    resources.replaceCategory("R", {resource(1, "r1", "R"), resource(2, "r2", "R")});
    resources.replaceCategory("R",
                              {resource(2, "b", "other"), resource(30, "c", "R"), resource(-4, "a", "R")});
    EXPECT_THAT(ids(resources.initSelects("R"), &ResourceItem::resId), ElementsAre(30, 2, -4));

    NewsTypeDao types;
    types.replaceAll({NewsTypeItem{1, "N1", "one", 0}, NewsTypeItem{2, "N2", "two", 1}});
    types.replaceAll({NewsTypeItem{3, "N3", "three", 0}});
    EXPECT_THAT(ids(types.initSelectSchools(), &NewsTypeItem::typeId), ElementsAre(3));
    EXPECT_THAT(types.initSelectNews(), IsEmpty());
}

TEST_F(CacheTest, TextsWithSqlPunctuationAreStoredAsTheyAre)
{
    signIn();
    // clang-format off
    const std::vector<std::string> stored = {"O'Neil", "a -- b", "x'); drop table ed_news; --", "semi;colon", "''",
                                             "\"quoted\"", "line one\r\nline two"};
    // clang-format on
    std::vector<NewsItem> items;
    for (size_t index = 0; index < stored.size(); ++index)
        items.push_back(headline(static_cast<int32_t>(stored.size() - index), stored[index]));
    const std::string quotedCategory = "it's; --";
    ASSERT_EQ(NewsDao().replaceCategory(quotedCategory, items), static_cast<int>(items.size()));

    const std::vector<NewsItem> read = NewsDao().initSelects(quotedCategory);
    EXPECT_EQ(titles(read), stored);
    EXPECT_THAT(read, Each(Field(&NewsItem::typeCode, quotedCategory)));
}

TEST_F(CacheTest, SingleStatementOperationsWorkOnTheirOwn)
{
    signIn();
    NewsDao news;
    EXPECT_EQ(news.insert(fullHeadline(1, "one"), "A"), 1);
    EXPECT_EQ(news.inserts({fullHeadline(2, "two"), fullHeadline(3, "three")}, "B"), 2);
    EXPECT_TRUE(logged("insert into ed_news values(1,'A','one',301,1,'2013-05-01','')"));
    EXPECT_EQ(news.deletes("B"), 2);
    EXPECT_EQ(news.deletes(), 1);

    ResourceDao resources;
    EXPECT_EQ(resources.insert(resource(1, "own", "X")), 1);
    EXPECT_EQ(resources.insert({resource(2, "stamped", "X")}, "Y"), 1);
    EXPECT_EQ(resources.initSelects("Y").at(0).resTitle, "stamped");
    EXPECT_EQ(resources.deletes("Y"), 1);
}

TEST_F(CacheTest, BaseQueryBindsParametersInOrderAndHooksDecideTheRecord)
{
    signIn();
    NewsDao news;
    news.replaceCategory("A", {fullHeadline(1, "one"), fullHeadline(2, "two"), fullHeadline(3, "three")});

    const auto matched =
        news.initSelectObjs("select * from ed_news where type_code=?1 and news_id>=?2 order by news_id",
                            {"A", "2"}, hsSelectTypeRow);
    EXPECT_THAT(ids(matched, &NewsItem::newsId), ElementsAre(2, 3));
    // A bare accessor with the base hooks counts the rows but fills nothing in.
    EXPECT_THAT(DAO<NewsItem>().initSelectObjs("select * from ed_news", {}, hsSelectTypeRow),
                ElementsAre(NewsItem{}, NewsItem{}, NewsItem{}));
}
