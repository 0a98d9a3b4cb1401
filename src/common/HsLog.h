#pragma once

#include <functional>
#include <optional>
#include <string>

// Diagnostic lines of the whole core library. Each call writes one line, printf-style, to
// standard error; setting HSSCHOOL_QUIET=1 in the environment silences them. Tests can route the
// lines to a sink of their own to check what was written.
void hsLog(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Whether lines go anywhere now (to a sink, or to standard error while not silenced), so that a
// caller can skip building a line's text when they do not.
bool hsLogWritten();

// The text form of an optional text in a log line: the text itself, or "(null)" when absent.
const char *hsText(const std::optional<std::string> &text);

// Replaces where lines go; an empty function restores standard error. Thread-safe.
using HsLogSink = std::function<void(const std::string &line)>;
void hsSetLogSink(HsLogSink sink);
