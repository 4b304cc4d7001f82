if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
kbconf_test(NAME test_platform_linux_hid
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LinuxHidBackendTest.cpp
  LIBS kbconf_platform_linux kbconf_protocol
  LABELS threads)
kbconf_test(NAME test_platform_lock_folder
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LockFolderTest.cpp
  LIBS kbconf_platform)
