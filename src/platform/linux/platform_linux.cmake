# The Linux platform set (the factory's "linux"), and the bodies of the seam's
# own OS calls, which go into the seam library itself.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
kbconf_library(kbconf_platform)
target_sources(kbconf_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ThisProcess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LockFilePosix.cpp)

kbconf_library(kbconf_platform_linux)
target_sources(kbconf_platform_linux PRIVATE ${CMAKE_CURRENT_LIST_DIR}/LinuxPlatform.cpp)
set_property(GLOBAL APPEND PROPERTY KBCONF_PLATFORMS
  "linux|platform/linux/LinuxPlatform.h|platform::linuxos::CreateLinuxPlatform|kbconf_platform_linux|real")
