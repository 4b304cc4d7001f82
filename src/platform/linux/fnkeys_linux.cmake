# The function-key service's drivers on Linux: evdev interception, the uinput
# virtual keyboard, and the installer's process runner.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
kbconf_library(kbconf_platform_linux)
target_sources(kbconf_platform_linux PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LinuxKeyCodes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UinputKeyboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VirtualKeyboardBackend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EvdevFilterDriver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxProcessRunner.cpp)
target_link_libraries(kbconf_platform_linux PUBLIC kbconf_platform)
