# kbconf-simwindow [RECORD_XML]: the emulator window alone, with its control
# socket, for trying the emulated hardware without the main window.
if(KBCONF_GUI)
  add_executable(kbconf-simwindow ${CMAKE_CURRENT_LIST_DIR}/simwindow/main.cpp)
  target_link_libraries(kbconf-simwindow PRIVATE kbconf_sim_window kbconf_sim_control_socket kbconf_fnkeys)
endif()
