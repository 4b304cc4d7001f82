kbconf_test(NAME test_platform_sim_control
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SimControlTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimControlServerTest.cpp
  LIBS kbconf_sim_control_socket kbconf_fnkeys
  LABELS threads)
