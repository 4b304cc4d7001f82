#pragma once
// The fixed (name, id) pairs that layouts and code share, so a widget can be found
// by name or by number. Sorted by name (byte order, as the ids were assigned).
#include <cstddef>
#include <span>
#include <string_view>

namespace ui {

struct NamedId {
    std::string_view name;
    int id;
};

// The whole table, 69 entries, the first being "_name_start" (0xFFFF).
std::span<const NamedId> NamedIdTable();

// Id of a name, or 0 when the name is not in the table.
int FindNamedId(std::string_view name);

// Name of an id, or an empty view when no entry carries it.
std::string_view FindIdName(int id);

}  // namespace ui
