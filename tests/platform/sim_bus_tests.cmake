kbconf_test(NAME test_platform_sim_bus
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SimHidBusTest.cpp
  LIBS kbconf_platform_sim
  LABELS threads)
