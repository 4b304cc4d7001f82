# Macro group files: no display needed.
kbconf_test(NAME test_macro_group_file
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MacroGroupFileTest.cpp
  LIBS kbconf_data)

# The dialog: offscreen GUI tests, and end-to-end ones from the emulated keyboard.
# Both run the listener's reader thread.
if(KBCONF_GUI)
  kbconf_test(NAME test_assigndlg GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/MacroRecordDlgTest.cpp
    LIBS kbconf_assigndlg kbconf_platform_sim Qt6::Test)
  kbconf_test(NAME test_assigndlg_e2e GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/DialogE2ETest.cpp
    LIBS kbconf_assigndlg kbconf_platform_sim Qt6::Test)

  # kbconf_test gives GUI tests the one label "gui"; these carry more. The
  # discovered names are in <target>_TESTS when ctest reads this file.
  foreach(_t IN ITEMS test_assigndlg:gui\;threads test_assigndlg_e2e:gui\;e2e\;threads)
    string(REPLACE ":" ";" _pair "${_t}")
    list(GET _pair 0 _target)
    list(SUBLIST _pair 1 -1 _labels)
    set(_file ${CMAKE_CURRENT_BINARY_DIR}/${_target}_labels.cmake)
    file(WRITE ${_file} "foreach(t IN LISTS ${_target}_TESTS)\n  set_tests_properties(\"\${t}\" PROPERTIES LABELS \"${_labels}\")\nendforeach()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_file})
  endforeach()
endif()
