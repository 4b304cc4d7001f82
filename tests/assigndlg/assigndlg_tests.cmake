# Macro group files: no display needed.
kbconf_test(NAME test_macro_group_file
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MacroGroupFileTest.cpp
  LIBS kbconf_data)
