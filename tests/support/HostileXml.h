#pragma once

#include <chrono>
#include <ctime>
#include <string>

// Markup that costs an XML reader far more than its size if it is read at all.

// " a0="x" a1="x" ...": `count` attributes, each name distinct.
inline std::string floodOfAttributes(size_t count, const std::string &prefix = "a")
{
    std::string attributes;
    attributes.reserve(count * (prefix.size() + 12));
    for (size_t i = 0; i < count; ++i)
        attributes += " " + prefix + std::to_string(i) + "=\"x\"";
    return attributes;
}

// An element named `name` whose attributes take about `bytes` bytes.
inline std::string elementWithAttributesOf(size_t bytes, const std::string &name = "r")
{
    return "<" + name + floodOfAttributes(bytes / 11) + "/>";
}

// `count` sibling elements, each with a name of its own.
inline std::string floodOfNames(size_t count)
{
    std::string elements;
    for (size_t i = 0; i < count; ++i)
        elements += "<n" + std::to_string(i) + "/>";
    return elements;
}

// Parameter entities nested `levels` deep, each expanding ten of the level below, the lowest a
// declaration with many attributes: a few kilobytes that declare the same attributes millions of
// times over.
inline std::string nestedParameterEntities(int levels)
{
    std::string doctype = "<!DOCTYPE r [<!ENTITY % e0 \"<!ATTLIST r";
    for (int i = 0; i < 300; ++i)
        doctype += " a" + std::to_string(i) + " CDATA 'x'";
    doctype += ">\">";
    for (int level = 1; level <= levels; ++level) {
        doctype += "<!ENTITY % e" + std::to_string(level) + " '";
        for (int copy = 0; copy < 10; ++copy)
            doctype += "&#37;e" + std::to_string(level - 1) + ";";
        doctype += "'>";
    }
    return doctype + "%e" + std::to_string(levels) + ";]>";
}

// The same text in UTF-16, little-endian with its byte order mark.
inline std::string utf16le(const std::string &ascii)
{
    std::string encoded("\xff\xfe", 2);
    for (const char c : ascii) {
        encoded.push_back(c);
        encoded.push_back('\0');
    }
    return encoded;
}

// Seconds spent in `work`.
template <typename Work> double secondsFor(Work &&work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// ThreadSanitizer checks every memory access, which makes any reading several times slower: its
// processor seconds are counted at this share, so the same limits hold in every build.
#if defined(__SANITIZE_THREAD__)
inline constexpr double kCheckedAccessSlowdown = 4.0;
#else
inline constexpr double kCheckedAccessSlowdown = 1.0;
#endif

// Processor seconds the calling thread spent in `work`: a machine busy with other work does not
// stretch them, while a reading that goes quadratic still does.
template <typename Work> double threadSecondsFor(Work &&work)
{
    const auto now = [] {
        timespec time{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
    };
    const double start = now();
    work();
    return (now() - start) / kCheckedAccessSlowdown;
}
