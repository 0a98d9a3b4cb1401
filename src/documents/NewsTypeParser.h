#pragma once

#include "documents/DocumentForm.h"
#include "documents/NewsTypeItem.h"

#include <vector>

// Reads the notice and news categories: one "NewsType" element per category.
class NewsTypeParser : public ListDocumentParser<NewsTypeItem>
{
public:
    NewsTypeParser();
    ~NewsTypeParser() override;

    const std::vector<NewsTypeItem> &types() const { return items(); }
};
