if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
kbconf_test(NAME test_platform_linux_fnkeys
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LinuxFnkeysTest.cpp
  LIBS kbconf_platform_linux kbconf_fnkeys kbconf_platform_sim
  LABELS linux)
