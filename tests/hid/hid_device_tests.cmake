kbconf_test(NAME test_hid_device
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DevicePathTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HidDeviceTest.cpp
  LIBS kbconf_protocol kbconf_hid kbconf_platform_sim
  LABELS threads)
