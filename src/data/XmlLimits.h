#pragma once

#include <cstddef>

// What a file may hold before it is parsed. The parser's memory grows with the
// nodes and attributes it builds (about 64 bytes per node, 40 per attribute),
// not with the bytes, so a small file of empty elements costs more than a large
// one of text. Both are bounded by counts that need no parse: every node starts
// at a '<' or ends at one (text), and every attribute has a '=' before its
// quote. A value that ends in '=' (the key named "=") counts once more, so a
// limit allows for twice the attributes a file really needs.
struct XmlLimits {
    std::size_t maxBytes;
    std::size_t maxTags;        // '<' characters
    std::size_t maxAttributes;  // '=' characters followed by a quote
};
