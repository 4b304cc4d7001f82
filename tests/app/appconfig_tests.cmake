kbconf_test(NAME test_appconfig
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/AppConfigTest.cpp
  LIBS kbconf_appconfig)
