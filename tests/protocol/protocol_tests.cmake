kbconf_test(NAME test_protocol
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/KeyboardLinkTest.cpp
  LIBS kbconf_protocol kbconf_platform_sim
  LABELS threads)
