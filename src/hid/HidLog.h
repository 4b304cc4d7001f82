#pragma once
// The transport's diagnostic lines. They go to standard output by default;
// a front end that owns stdout (the CLI) sends them elsewhere.

#include <functional>
#include <string>

namespace hid {

// printf-style; the text is passed on as it is (lines end in "\n" themselves).
void HidLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the sink; null restores standard output. Returns nothing: set it once
// at start, before any device code runs.
void SetHidLogSink(std::function<void(const std::string&)> sink);

}  // namespace hid
