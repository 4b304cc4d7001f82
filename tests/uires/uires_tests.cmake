# Checks on the resources of uires: layouts, translations, tables, menus, keyboard picture.
kbconf_test(NAME test_uires
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LayoutTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TranslationTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TablesTest.cpp
  LIBS kbconf_data pugixml::pugixml)

# The keyboard picture's coordinate file, read by the picture widget's own reader.
if(KBCONF_GUI)
  kbconf_test(NAME test_uires_keyboard
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/KeyboardTest.cpp
    LIBS kbconf_widgets kbconf_data pugixml::pugixml)
endif()

# The layouts rendered through the UI layer (and the custom widgets once they build).
if(KBCONF_GUI)
  set(_uires_render_libs kbconf_ui pugixml::pugixml)
  if(TARGET kbconf_widgets)
    list(APPEND _uires_render_libs kbconf_widgets)
  endif()
  kbconf_test(NAME test_uires_render GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/RenderTest.cpp
    LIBS ${_uires_render_libs})
  if(TARGET kbconf_widgets)
    target_compile_definitions(test_uires_render PRIVATE KBCONF_HAVE_WIDGETS)
  endif()
endif()
