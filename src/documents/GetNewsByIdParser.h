#pragma once

#include "documents/DocumentForm.h"
#include "documents/NewsItem.h"

// Reads one whole notice or news item, content included; fields anywhere in the document.
class GetNewsByIdParser : public SingleRecordParser<NewsItem>
{
public:
    GetNewsByIdParser();
    ~GetNewsByIdParser() override;

    // Made with default values together with the parser, so there is always one.
    const NewsItem &item() const { return record(); }
};
