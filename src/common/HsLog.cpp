#include "HsLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

std::mutex sinkMutex;
HsLogSink currentSink;

bool quietByEnvironment()
{
    static const bool quiet = [] {
        const char *value = std::getenv("HSSCHOOL_QUIET");
        return value != nullptr && std::strcmp(value, "0") != 0 && *value != '\0';
    }();
    return quiet;
}

std::string formatLine(const char *format, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return {};
    std::string line(static_cast<size_t>(length), '\0');
    std::vsnprintf(line.data(), line.size() + 1, format, args);
    return line;
}

} // namespace

void hsLog(const char *format, ...)
{
    std::lock_guard lock(sinkMutex);
    if (!currentSink && quietByEnvironment())
        return;
    va_list args;
    va_start(args, format);
    std::string line = formatLine(format, args);
    va_end(args);
    if (currentSink)
        currentSink(line);
    else
        std::fprintf(stderr, "%s\n", line.c_str());
}

bool hsLogWritten()
{
    std::lock_guard lock(sinkMutex);
    return currentSink || !quietByEnvironment();
}

const char *hsText(const std::optional<std::string> &text)
{
    return text ? text->c_str() : "(null)";
}

void hsSetLogSink(HsLogSink sink)
{
    std::lock_guard lock(sinkMutex);
    currentSink = std::move(sink);
}
