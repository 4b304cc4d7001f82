kbconf_test(NAME test_fnkeys_filter
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FilterListenerTest.cpp
  LIBS kbconf_fnkeys kbconf_platform_sim
  LABELS threads)
