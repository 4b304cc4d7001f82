#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "data/XmlLimits.h"
#include "platform/FileSync.h"

// The one byte format of every file this program writes: a version-only
// declaration, one element per line, a tab per level, UTF-8 without BOM.
std::string XmlToString(const pugi::xml_document& doc);

// Writes the document to a temporary file beside `path`, flushes it to disk and
// renames it over `path`, then flushes the folder. On any failure before the
// rename the previous file is left untouched, the temporary file is removed and
// false is returned; false after the rename means the new file may not have
// reached the disk yet.
//
// A symbolic link at `path` is followed (through chains and relative links) and
// the file it names is replaced, so the link stays; a link to a missing file
// creates that file. Temporary files of `path` that an interrupted save left
// behind are removed first.
bool SaveXmlAtomically(const pugi::xml_document& doc, const std::string& path,
                       const platform::FileSync& sync = platform::SystemFileSync());

// The same replacement for bytes that are already serialised.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                           const platform::FileSync& sync = platform::SystemFileSync());

// Limits for a settings file prepared outside the program (config.xml): a
// thousand or so named keys and combinations take well under a tenth of these.
// Loading a file at these limits, whatever its shape, costs a few megabytes.
inline constexpr XmlLimits kSettingsFileLimits{1u << 20, 16384, 65536};

// Reads the whole of a regular file; false when it is missing, not a regular
// file (a folder, a pipe, a device), larger than `maxBytes` or unreadable.
bool ReadFileBytes(const std::string& path, std::string& out, std::size_t maxBytes = kSettingsFileLimits.maxBytes);

// Whether the bytes stay within the limits; counts without parsing.
bool WithinXmlLimits(std::string_view bytes, const XmlLimits& limits);

// Parses with the default options and the given encoding. A document without
// any element (an empty file, a lone declaration) counts as parsed; bytes over
// the limits do not. Never throws.
bool ParseXml(pugi::xml_document& doc, std::string_view bytes, pugi::xml_encoding encoding = pugi::encoding_utf8,
              const XmlLimits& limits = kSettingsFileLimits);
