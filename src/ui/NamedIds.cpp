#include "ui/NamedIds.h"

#include <algorithm>
#include <array>

namespace ui {
namespace {

constexpr std::array<NamedId, 69> kTable{{
    {"_name_start", 0xFFFF},
    {"bar_const_brightness_0", 0x10007},
    {"bar_const_brightness_1", 0x1000B},
    {"bar_const_brightness_2", 0x1000C},
    {"bar_const_brightness_3", 0x1000E},
    {"bar_general_speed_0", 0x10006},
    {"bar_general_speed_1", 0x1000A},
    {"bar_general_speed_3", 0x1000D},
    {"bar_side_brightness", 0x10017},
    {"btnCancel", 0x1001A},
    {"btnDelete", 0x1003C},
    {"btnMin", 0x10018},
    {"btnOK", 0x1003B},
    {"btnRestore", 0x10019},
    {"btnSwitch", 0x10040},
    {"btn_min", 0x10002},
    {"btn_more", 0x10001},
    {"btn_restore_factory", 0x10012},
    {"button1st", 0x10041},
    {"button2nd", 0x10042},
    {"button3rd", 0x10043},
    {"cbx_color_effect", 0x10004},
    {"cbx_in_lv", 0x10013},
    {"cbx_side_color_effect", 0x10015},
    {"chk_macro_fixed_delay", 0x10033},
    {"chk_macro_no_delay", 0x10034},
    {"chk_macro_realy_delay", 0x10032},
    {"chk_macro_record", 0x10035},
    {"chk_single_record", 0x10037},
    {"cmb_function_keys", 0x1003A},
    {"cmb_media_keys", 0x10039},
    {"col1", 0x10028},
    {"col2", 0x1002A},
    {"col3", 0x1002C},
    {"col4", 0x1002E},
    {"edit_macro_delay_time", 0x10031},
    {"edit_macro_repeat_times", 0x10030},
    {"edit_single_key", 0x10038},
    {"groupAdd", 0x10022},
    {"groupDel", 0x10021},
    {"groupExport", 0x10024},
    {"groupImport", 0x10023},
    {"group_name", 0x10026},
    {"img_keyboard", 0x10003},
    {"item_clear", 0x10020},
    {"item_delete", 0x1001F},
    {"item_down", 0x1001E},
    {"item_up", 0x1001D},
    {"key_code", 0x10029},
    {"key_delay", 0x1002F},
    {"key_info", 0x10027},
    {"key_name", 0x1002B},
    {"key_state", 0x1002D},
    {"macro_group", 0x10025},
    {"macro_play_mode", 0x10036},
    {"msgicon", 0x1003E},
    {"msgtext", 0x1003F},
    {"msgtitle", 0x1003D},
    {"radio_direction_left_0", 0x10008},
    {"radio_direction_right_0", 0x10009},
    {"radio_loader_center_3", 0x10010},
    {"radio_loader_left_3", 0x1000F},
    {"radio_loader_right_3", 0x10011},
    {"tab_color_effect", 0x10005},
    {"tab_macro_mode_selection", 0x1001C},
    {"text_recording_keys", 0x1001B},
    {"text_side_brightness", 0x10016},
    {"title", 0x10000},
    {"version", 0x10014},
}};

constexpr bool SortedByName() {
    for (std::size_t i = 1; i < kTable.size(); ++i)
        if (!(kTable[i - 1].name < kTable[i].name)) return false;
    return true;
}
static_assert(SortedByName(), "lookups binary-search the table by name");

}  // namespace

std::span<const NamedId> NamedIdTable() { return kTable; }

int FindNamedId(std::string_view name) {
    auto it = std::lower_bound(kTable.begin(), kTable.end(), name,
                               [](const NamedId& e, std::string_view n) { return e.name < n; });
    return it != kTable.end() && it->name == name ? it->id : 0;
}

std::string_view FindIdName(int id) {
    for (const NamedId& e : kTable)
        if (e.id == id) return e.name;
    return {};
}

}  // namespace ui
