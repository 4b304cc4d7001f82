kbconf_test(NAME test_platform_event
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/EventTest.cpp
  LIBS kbconf_platform
  LABELS threads)
