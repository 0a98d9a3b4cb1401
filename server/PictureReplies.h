#pragma once

#include "HttpService.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Which bytes of a picture of `size` bytes an answer carries, after the request's Range header.
// Only a single range of bytes is served; several ranges, other units and ranges that cannot be
// read are ignored and the whole picture is sent. A single range that starts past the end cannot
// be served (416).
struct RangeChoice
{
    enum class Kind
    {
        Whole,
        Part,
        Unsatisfiable,
    };
    Kind kind = Kind::Whole;
    uint64_t first = 0;
    uint64_t length = 0;
};
RangeChoice chooseRange(std::optional<std::string_view> rangeHeader, uint64_t size);

// The answer for a file below `folder` named by `relativePath` (as it follows "/images/"), or 404
// when there is no such regular file inside the folder.
HttpReply pictureFileReply(const std::string &folder, std::string_view relativePath,
                           std::optional<std::string_view> rangeHeader);

// The answer for picture bytes held in memory.
HttpReply pictureBytesReply(std::string bytes, std::string contentType,
                            std::optional<std::string_view> rangeHeader);

HttpReply notFound();
