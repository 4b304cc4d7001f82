# kbconf-simctl PATH [COMMAND...]: a client of the emulator's control socket
# ($KBCONF_SIM_CONTROL), for scripts and black-box tests.
add_executable(kbconf-simctl ${CMAKE_CURRENT_LIST_DIR}/simctl/kbconf-simctl.cpp)
target_link_libraries(kbconf-simctl PRIVATE kbconf_sim_control_socket)
