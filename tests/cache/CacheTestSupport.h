#pragma once

#include "LogCapture.h"
#include "cache/HsPreferences.h"
#include "documents/NewsItem.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A headline as a news list delivers it.
inline NewsItem headline(int32_t newsId, std::string title)
{
    return {.newsId = newsId, .newsTitle = std::move(title)};
}

inline std::vector<std::string> titles(const std::vector<NewsItem> &items)
{
    std::vector<std::string> result;
    for (const NewsItem &item : items)
        result.push_back(item.newsTitle.value_or("<absent>"));
    return result;
}

// A fresh temporary documents directory per test, diagnostic lines collected instead of printed,
// and no current database left behind for the next test.
class CacheTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "hscache-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        directory = pattern;
    }

    void TearDown() override
    {
        HsPreferences::setCurrent(nullptr);
        std::filesystem::remove_all(directory);
    }

    // Opens the database in the test directory and makes it the current one, as a sign-in does;
    // for an account when one is given.
    std::shared_ptr<HsPreferences> signIn(const std::optional<std::string> &account = std::nullopt)
    {
        auto preferences = std::make_shared<HsPreferences>();
        EXPECT_TRUE(preferences->load(directory.string(), account));
        HsPreferences::setCurrent(preferences);
        return preferences;
    }

    std::filesystem::path databasePath() const { return directory / HsPreferences::databaseFileName; }

    bool logged(const std::string &line) { return log.contains(line); }

    std::filesystem::path directory;

private:
    LogCapture log;
};
