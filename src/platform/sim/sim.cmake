# Emulated hardware: the HID bus and its device models.
kbconf_library(kbconf_platform_sim)
target_sources(kbconf_platform_sim PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SimHidDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimReport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimHidBus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimKeyboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimSetup.cpp)
target_link_libraries(kbconf_platform_sim PUBLIC kbconf_platform)
target_sources(kbconf_platform_sim PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SimPlatform.cpp)
set_property(GLOBAL APPEND PROPERTY KBCONF_PLATFORMS
  "sim|platform/sim/SimPlatform.h|platform::sim::CreateSimPlatform|kbconf_platform_sim|sim")
