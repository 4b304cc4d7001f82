# The function-key service: filter listener, key actions and macro playback,
# the virtual keyboard writer and driver installation. No Qt.
kbconf_library(kbconf_fnkeys)
target_sources(kbconf_fnkeys PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FilterDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilterListener.cpp)
target_link_libraries(kbconf_fnkeys PUBLIC kbconf_hid kbconf_data kbconf_platform)
target_sources(kbconf_fnkeys PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/VHidev.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyActionService.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DriverInstaller.cpp)
