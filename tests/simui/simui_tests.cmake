if(KBCONF_GUI)
  kbconf_test(NAME test_sim_window GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SimWindowTest.cpp
    LIBS kbconf_sim_window kbconf_fnkeys Qt6::Test)
endif()
