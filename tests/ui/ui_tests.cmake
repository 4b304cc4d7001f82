if(KBCONF_GUI)
  kbconf_test(NAME test_ui_resources
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ResourceTest.cpp
    LIBS kbconf_ui)
endif()
