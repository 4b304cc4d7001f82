# The demo's control of the emulated hardware. SimControl and its command
# language stay in the OS-free emulator core; the control socket and its client
# (POSIX) are a library of their own.
kbconf_library(kbconf_platform_sim)
target_sources(kbconf_platform_sim PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SimControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimControlCommands.cpp)

kbconf_library(kbconf_sim_control_socket)
target_sources(kbconf_sim_control_socket PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SimControlServer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimControlClient.cpp)
target_link_libraries(kbconf_sim_control_socket PUBLIC kbconf_platform_sim)
