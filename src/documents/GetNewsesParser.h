#pragma once

#include "documents/DocumentForm.h"
#include "documents/NewsItem.h"

#include <vector>

// Reads the headline list of a notice or news category: one "News" element per headline.
class GetNewsesParser : public ListDocumentParser<NewsItem>
{
public:
    GetNewsesParser();
    ~GetNewsesParser() override;

    const std::vector<NewsItem> &newses() const { return items(); }
};
