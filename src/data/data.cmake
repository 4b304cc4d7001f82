# The data tables behind the XML files, the key names and the XML helpers. No Qt.
kbconf_library(kbconf_data)
target_sources(kbconf_data PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/XmlFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LenientNumber.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LedEffectTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SideLightTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyAssignmentTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MacroLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyNameTable.cpp)
target_link_libraries(kbconf_data PUBLIC pugixml::pugixml kbconf_platform)
