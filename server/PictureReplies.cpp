#include "PictureReplies.h"

#include <charconv>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::optional<uint64_t> number(std::string_view digits)
{
    uint64_t value = 0;
    if (digits.empty() ||
        std::from_chars(digits.data(), digits.data() + digits.size(), value).ec != std::errc() ||
        digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    return value;
}

std::string_view trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

RangeChoice part(uint64_t first, uint64_t last)
{
    return RangeChoice{RangeChoice::Kind::Part, first, last - first + 1};
}

std::string contentTypeOf(std::string_view path)
{
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension == ".png")
        return "image/png";
    if (extension == ".jpg" || extension == ".jpeg")
        return "image/jpeg";
    if (extension == ".gif")
        return "image/gif";
    if (extension == ".svg")
        return "image/svg+xml";
    return "application/octet-stream";
}

// Status, headers and the part of a picture of `size` bytes that the Range header picks.
HttpReply framedReply(std::string contentType, uint64_t size, const RangeChoice &range)
{
    HttpReply reply;
    reply.contentType = std::move(contentType);
    reply.headers.emplace_back("Accept-Ranges", "bytes");
    if (range.kind == RangeChoice::Kind::Unsatisfiable) {
        reply.status = 416;
        reply.headers.emplace_back("Content-Range", "bytes */" + std::to_string(size));
    } else if (range.kind == RangeChoice::Kind::Part) {
        reply.status = 206;
        reply.headers.emplace_back("Content-Range", "bytes " + std::to_string(range.first) + "-" +
                                                        std::to_string(range.first + range.length - 1) + "/" +
                                                        std::to_string(size));
    }
    return reply;
}

// Whether `path` names something inside `folder` once links and ".." are resolved.
bool insideFolder(const std::filesystem::path &folder, const std::filesystem::path &path)
{
    std::error_code error;
    const auto base = std::filesystem::canonical(folder, error);
    if (error)
        return false;
    const auto target = std::filesystem::canonical(path, error);
    if (error)
        return false;
    const auto [baseEnd, targetAt] = std::mismatch(base.begin(), base.end(), target.begin(), target.end());
    return baseEnd == base.end() && targetAt != target.end();
}

} // namespace

RangeChoice chooseRange(std::optional<std::string_view> rangeHeader, uint64_t size)
{
    constexpr std::string_view kUnit = "bytes=";
    if (!rangeHeader || size == 0)
        return {};
    const std::string_view header = trimmed(*rangeHeader);
    if (header.substr(0, kUnit.size()) != kUnit)
        return {};
    const std::string_view byteRange = trimmed(header.substr(kUnit.size()));
    const size_t dash = byteRange.find('-');
    if (byteRange.find(',') != std::string_view::npos || dash == std::string_view::npos)
        return {};
    const auto first = number(trimmed(byteRange.substr(0, dash)));
    const std::string_view lastText = trimmed(byteRange.substr(dash + 1));
    const auto last = number(lastText);
    if (!first) {
        // "-N": the last N bytes.
        if (!last || *last == 0)
            return {};
        return part(size - std::min(*last, size), size - 1);
    }
    if (!lastText.empty() && (!last || *last < *first))
        return {};
    if (*first >= size)
        return RangeChoice{RangeChoice::Kind::Unsatisfiable, 0, 0};
    return part(*first, last ? std::min(*last, size - 1) : size - 1);
}

HttpReply pictureFileReply(const std::string &folder, std::string_view relativePath,
                           std::optional<std::string_view> rangeHeader)
{
    const std::filesystem::path path = std::filesystem::path(folder) / std::filesystem::path(relativePath);
    if (relativePath.empty() || relativePath.find('\0') != std::string_view::npos ||
        !insideFolder(folder, path))
        return notFound();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status
    {};
    if (fd < 0)
        return notFound();
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return notFound();
    }
    const auto size = static_cast<uint64_t>(status.st_size);
    const RangeChoice range = chooseRange(rangeHeader, size);
    HttpReply reply = framedReply(contentTypeOf(relativePath), size, range);
    if (range.kind == RangeChoice::Kind::Unsatisfiable) {
        close(fd);
        return reply;
    }
    reply.file = HttpReply::FilePart{fd, range.kind == RangeChoice::Kind::Part ? range.first : 0,
                                     range.kind == RangeChoice::Kind::Part ? range.length : size};
    return reply;
}

HttpReply pictureBytesReply(std::string bytes, std::string contentType,
                            std::optional<std::string_view> rangeHeader)
{
    const RangeChoice range = chooseRange(rangeHeader, bytes.size());
    HttpReply reply = framedReply(std::move(contentType), bytes.size(), range);
    if (range.kind == RangeChoice::Kind::Part)
        reply.body = bytes.substr(range.first, range.length);
    else if (range.kind == RangeChoice::Kind::Whole)
        reply.body = std::move(bytes);
    return reply;
}

HttpReply notFound()
{
    return HttpReply{404, "text/plain; charset=utf-8", "not found\n", {}, {}, {}};
}
