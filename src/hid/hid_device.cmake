# HID transport: device paths, discovery, HidDevice, notices.
kbconf_library(kbconf_hid)
target_sources(kbconf_hid PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/HidLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DevicePath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HidEnumerator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HidDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceNotice.cpp)
target_link_libraries(kbconf_hid PUBLIC kbconf_platform)
