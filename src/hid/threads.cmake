# Worker threads: EasyThread (one callback in a loop) and RunableThread (a
# scheduler of work items).
kbconf_library(kbconf_hid)
target_sources(kbconf_hid PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ThreadIds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EasyThread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RunableThreadBase.cpp)
target_link_libraries(kbconf_hid PUBLIC kbconf_platform)
