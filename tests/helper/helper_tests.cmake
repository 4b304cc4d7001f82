if(TARGET kbconf_helper_core)
  # Single-threaded: the service runs on the test's thread, node by fixture node.
  kbconf_test(NAME test_helper
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/KeyServiceTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/VirtualKeyboardTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/FakeEvdev.cpp
    LIBS kbconf_helper_core ${CMAKE_DL_LIBS}
    LABELS linux)
endif()
if(TARGET kbconf_helper_core AND TARGET kbconf_fnkeys)
  # The application's side against a service on its own thread.
  kbconf_test(NAME test_helper_client
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/HelperClientTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/FakeEvdev.cpp
    LIBS kbconf_helper_core kbconf_fnkeys kbconf_data kbconf_platform_sim ${CMAKE_DL_LIBS}
    LABELS threads)
endif()
