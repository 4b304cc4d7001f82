kbconf_test(NAME test_data
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LenientNumberTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/XmlFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LedEffectTableTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SideLightTableTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MacroLibraryTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyNameTableTest.cpp
  LIBS kbconf_data)
kbconf_test(NAME test_data_threads
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/KeyAssignmentTableTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LedEffectTableThreadTest.cpp
  LIBS kbconf_data
  LABELS threads)
