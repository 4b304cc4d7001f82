# The main window on the emulated keyboard, in process.
if(KBCONF_GUI)
  kbconf_test(NAME test_mainwnd GUI LABELS e2e
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp
    LIBS kbconf_app Qt6::Test)
endif()
