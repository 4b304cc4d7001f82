# The HID seam on Linux: hidraw through sysfs, udev hot plug, flock named locks.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
kbconf_library(kbconf_platform_linux)
target_sources(kbconf_platform_linux PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/HidReportDescriptor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxHidHandle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinuxHidBackend.cpp)
target_link_libraries(kbconf_platform_linux PUBLIC kbconf_platform)
if(TARGET PkgConfig::UDEV)
  target_link_libraries(kbconf_platform_linux PRIVATE PkgConfig::UDEV)
  target_compile_definitions(kbconf_platform_linux PRIVATE KBCONF_HAVE_UDEV=1)
endif()
