# The function-key service on Linux, the application's side: the filter device
# and the virtual keyboard reached through kbconf-helper, and the installer's
# process runner.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
kbconf_library(kbconf_platform_linux)
target_sources(kbconf_platform_linux PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LinuxKeyCodes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VirtualKeyboardBackend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HelperConnection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HelperFilterBackend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxProcessRunner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxSetupRunner.cpp)
target_link_libraries(kbconf_platform_linux PUBLIC kbconf_platform)
