# Checks on the resources of uires: layouts, translations, tables, menus, keyboard picture.
kbconf_test(NAME test_uires
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LayoutTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TranslationTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyboardTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TablesTest.cpp
  LIBS kbconf_data pugixml::pugixml)
