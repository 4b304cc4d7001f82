#pragma once
// Every widget the windows look up: layout, name, class, and the widget it must sit in.
namespace uires {

struct Expected {
    const char* layout;
    const char* name;
    const char* cls;
    const char* inside;  // a widget the named one must sit in (a page), or null
};

inline const Expected kWidgets[] = {
    // main window: title bar, picture, lighting panel, commands
    {"XML_MAINWND", "title", "text", nullptr},
    {"XML_MAINWND", "btn_more", "imgbtn", nullptr},
    {"XML_MAINWND", "btn_min", "button", nullptr},
    {"XML_MAINWND", "btn_close", "button", nullptr},
    {"XML_MAINWND", "zh_cn", "button", nullptr},
    {"XML_MAINWND", "jp", "button", nullptr},
    {"XML_MAINWND", "img_keyboard", "cbimg", nullptr},
    {"XML_MAINWND", "cbx_color_effect", "combobox", nullptr},
    {"XML_MAINWND", "cbx_side_color_effect", "combobox", nullptr},
    {"XML_MAINWND", "cbx_in_lv", "combobox", nullptr},
    {"XML_MAINWND", "tab_color_effect", "tabctrl", nullptr},
    {"XML_MAINWND", "bar_general_speed_0", "sliderbar", "page_wave"},
    {"XML_MAINWND", "bar_const_brightness_0", "sliderbar", "page_wave"},
    {"XML_MAINWND", "radio_direction_left_0", "radio", "page_wave"},
    {"XML_MAINWND", "radio_direction_right_0", "radio", "page_wave"},
    {"XML_MAINWND", "bar_general_speed_1", "sliderbar", "page_dynamic"},
    {"XML_MAINWND", "bar_const_brightness_1", "sliderbar", "page_dynamic"},
    {"XML_MAINWND", "bar_const_brightness_2", "sliderbar", "page_static"},
    {"XML_MAINWND", "bar_general_speed_3", "sliderbar", "page_loader"},
    {"XML_MAINWND", "bar_const_brightness_3", "sliderbar", "page_loader"},
    {"XML_MAINWND", "radio_loader_left_3", "radio", "page_loader"},
    {"XML_MAINWND", "radio_loader_center_3", "radio", "page_loader"},
    {"XML_MAINWND", "radio_loader_right_3", "radio", "page_loader"},
    {"XML_MAINWND", "bar_side_brightness", "sliderbar", nullptr},
    {"XML_MAINWND", "text_side_brightness", "window", nullptr},
    {"XML_MAINWND", "version", "text", nullptr},
    {"XML_MAINWND", "btn_restore_factory", "button", nullptr},
    {"XML_MAINWND", "tray_icon", "shellnotifyicon", nullptr},
    // key-assignment dialog
    {"macro", "btnMin", "button", nullptr},
    {"macro", "btnRestore", "button", nullptr},
    {"macro", "btnCancel", "button", nullptr},
    {"macro", "btnOK", "button", nullptr},
    {"macro", "btnDelete", "button", nullptr},
    {"macro", "text_recording_keys", "text", nullptr},
    {"macro", "tab_macro_mode_selection", "tabctrl2", nullptr},
    {"macro", "macro_group", "listview", "page_macro"},
    {"macro", "group_name", "edit", "macro_group"},
    {"macro", "key_info", "mclistview", "page_macro"},
    {"macro", "key_code", "text", "col1"},
    {"macro", "key_name", "text", "col2"},
    {"macro", "key_state", "text", "col3"},
    {"macro", "key_delay", "editex", "col4"},
    {"macro", "groupAdd", "button", "page_macro"},
    {"macro", "groupDel", "button", "page_macro"},
    {"macro", "groupImport", "button", "page_macro"},
    {"macro", "groupExport", "button", "page_macro"},
    {"macro", "item_up", "button", "page_macro"},
    {"macro", "item_down", "button", "page_macro"},
    {"macro", "item_delete", "button", "page_macro"},
    {"macro", "item_clear", "button", "page_macro"},
    {"macro", "edit_macro_repeat_times", "edit", "page_macro"},
    {"macro", "edit_macro_delay_time", "edit", "page_macro"},
    {"macro", "chk_macro_realy_delay", "radioex", "page_macro"},
    {"macro", "chk_macro_fixed_delay", "radioex", "page_macro"},
    {"macro", "chk_macro_no_delay", "radioex", "page_macro"},
    {"macro", "chk_macro_record", "checkex", "page_macro"},
    {"macro", "macro_play_mode", "combobox", "page_macro"},
    {"macro", "chk_single_record", "checkex", "page_single"},
    {"macro", "edit_single_key", "text", "page_single"},
    {"macro", "cmb_media_keys", "combobox", "page_media"},
    {"macro", "cmb_function_keys", "combobox", "page_function"},
    // message box
    {"SYS_XML_MSGBOX", "msgtitle", "text", nullptr},
    {"SYS_XML_MSGBOX", "msgicon", "window", nullptr},
    {"SYS_XML_MSGBOX", "msgtext", "text", nullptr},
    {"SYS_XML_MSGBOX", "button1st", "button", nullptr},
    {"SYS_XML_MSGBOX", "button2nd", "button", nullptr},
    {"SYS_XML_MSGBOX", "button3rd", "button", nullptr},
};

}  // namespace uires
