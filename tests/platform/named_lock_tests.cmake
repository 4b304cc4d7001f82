kbconf_test(NAME test_platform_named_lock
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/NamedLockTest.cpp
  LIBS kbconf_platform
  LABELS threads)
