# The UI layer: resources, layouts, lookups, events, lists, skins, translations,
# message boxes, menus, the animation timeline and the tray icon, on Qt 6 Widgets.
if(KBCONF_GUI)
  kbconf_library(kbconf_ui)
  target_sources(kbconf_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/NamedIds.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResourceProvider.cpp)
  target_link_libraries(kbconf_ui PUBLIC Qt6::Widgets Qt6::UiTools Qt6::Svg pugixml::pugixml)
endif()
