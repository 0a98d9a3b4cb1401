#pragma once

#include <optional>
#include <string>

// What the answer to a picture upload carries besides code and error: the picture's new address.
struct UploadedPicture
{
    std::optional<std::string> image;

    bool operator==(const UploadedPicture &) const = default;
};
