# The assignment flow from the keyboard picture through the dialog, on the emulated keyboard.
if(KBCONF_GUI)
  kbconf_test(NAME test_mainwnd_assign GUI LABELS e2e
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/AssignFlowTest.cpp
    LIBS kbconf_app Qt6::Test)
endif()
