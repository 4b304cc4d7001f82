kbconf_test(NAME test_fnkeys_filter
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FilterListenerTest.cpp
  LIBS kbconf_fnkeys kbconf_platform_sim
  LABELS threads)
kbconf_test(NAME test_fnkeys_actions
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ScriptHarness.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyActionScriptTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyActionServiceTest.cpp
  LIBS kbconf_fnkeys kbconf_platform_sim
  LABELS threads)
kbconf_test(NAME test_fnkeys_vhidev
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/VHidevTest.cpp
  LIBS kbconf_fnkeys kbconf_platform_sim
  LABELS threads)
kbconf_test(NAME test_fnkeys_install
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DriverInstallerTest.cpp
  LIBS kbconf_fnkeys kbconf_platform_sim)
