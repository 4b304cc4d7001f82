#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// Whatever a table reads, what it writes must read back to the same table: a
// second save of the first save's output gives the same bytes.
template <typename Table>
void CheckRoundTrip(Table& table) {
    const std::string first = table.ToXml();
    table.ResetForTest();
    if (!table.LoadFromBuffer(first)) {
        std::fprintf(stderr, "own output does not parse:\n%s\n", first.c_str());
        std::abort();
    }
    const std::string second = table.ToXml();
    table.ResetForTest();
    if (!table.LoadFromBuffer(second) || table.ToXml() != second) {
        std::fprintf(stderr, "output is not stable:\n%s\n---\n%s\n", second.c_str(), table.ToXml().c_str());
        std::abort();
    }
}
