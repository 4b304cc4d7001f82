# The kbconf binary itself, started and ended as a session would.
if(KBCONF_GUI)
  kbconf_test(NAME test_app_process LABELS e2e
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/AppProcessTest.cpp
    LIBS kbconf_app)
  add_dependencies(test_app_process kbconf)
endif()
