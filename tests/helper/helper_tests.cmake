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
if(TARGET kbconf-helper AND TARGET kbconf AND TARGET kbconf-cli)
  find_program(KBCONF_DPKG_DEB dpkg-deb)
  if(KBCONF_DPKG_DEB)
    add_test(NAME linux_package
             COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DWORK=${CMAKE_BINARY_DIR}/package-check
                     -P ${CMAKE_CURRENT_LIST_DIR}/CheckPackage.cmake)
    set_tests_properties(linux_package PROPERTIES LABELS linux TIMEOUT 600)
  endif()
endif()
