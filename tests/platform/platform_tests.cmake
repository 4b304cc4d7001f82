kbconf_test(NAME test_platform_factory
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PlatformTest.cpp
  LIBS kbconf_platforms
  LABELS threads)
