#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <pugixml.hpp>

// The one byte format of every file this program writes: a version-only
// declaration, one element per line, a tab per level, UTF-8 without BOM.
std::string XmlToString(const pugi::xml_document& doc);

// Writes the document to a temporary file beside `path`, flushes it and renames
// it over `path`. On any failure the previous file is left untouched, the
// temporary file is removed and false is returned.
bool SaveXmlAtomically(const pugi::xml_document& doc, const std::string& path);

// The same replacement for bytes that are already serialised.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Data files are a few kilobytes; anything far larger is not one of ours and
// is refused rather than read into memory.
inline constexpr std::size_t kMaxDataFileBytes = 64u << 20;

// Reads the whole of a regular file; false when it is missing, not a regular
// file (a folder, a pipe, a device), larger than `maxBytes` or unreadable.
bool ReadFileBytes(const std::string& path, std::string& out, std::size_t maxBytes = kMaxDataFileBytes);

// Parses with the default options and the given encoding. A document without
// any element (an empty file, a lone declaration) counts as parsed. Never throws.
bool ParseXml(pugi::xml_document& doc, std::string_view bytes, pugi::xml_encoding encoding = pugi::encoding_utf8);
