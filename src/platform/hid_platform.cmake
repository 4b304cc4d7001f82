# The HID part of the seam: records, handle and backend interfaces, the current
# backend, named locks and notice fan-out.
kbconf_library(kbconf_platform)
target_sources(kbconf_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/HidTypes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HidNoticeHub.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HidBackend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NamedLock.cpp)
