# The demo's emulator window (Qt Widgets), kept apart from the UI-free emulator
# core: the application links it only when it runs on the emulated hardware.
if(KBCONF_GUI)
  kbconf_library(kbconf_sim_window)
  target_sources(kbconf_sim_window PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ui/SimWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/SimKeyboardPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/SimKeyLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/SimQtKeyMap.cpp)
  target_link_libraries(kbconf_sim_window PUBLIC kbconf_platform_sim kbconf_data Qt6::Widgets)
endif()
