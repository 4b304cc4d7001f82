kbconf_test(NAME test_hid_threads
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/EasyThreadTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RunableThreadTest.cpp
  LIBS kbconf_hid kbconf_platform_sim
  LABELS threads)
