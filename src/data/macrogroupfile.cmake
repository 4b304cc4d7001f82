# Macro groups shared as files (export and import from the assignment dialog). No Qt.
kbconf_library(kbconf_data)
target_sources(kbconf_data PRIVATE ${CMAKE_CURRENT_LIST_DIR}/MacroGroupFile.cpp)
