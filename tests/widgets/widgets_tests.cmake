if(KBCONF_GUI)
  kbconf_test(NAME test_widgets GUI
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/CoordButtonImageTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/ExtendedInputsTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/AnimationTest.cpp
    LIBS kbconf_widgets kbconf_ui Qt6::Test)
endif()
