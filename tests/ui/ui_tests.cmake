if(KBCONF_GUI)
  kbconf_test(NAME test_ui_resources
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ResourceTest.cpp
    LIBS kbconf_ui)
  kbconf_test(NAME test_ui GUI
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/LayoutEventsTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/ListViewTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/LanguageMenuMessageTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/SkinTrayTest.cpp
    LIBS kbconf_ui Qt6::Test)
endif()

# The shipped layouts with the application's widgets: lookups and screenshots.
if(KBCONF_GUI)
  kbconf_test(NAME test_ui_windows GUI
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/WindowsTest.cpp
    LIBS kbconf_widgets kbconf_ui)
endif()
