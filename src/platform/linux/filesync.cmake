# Durable saves: the body of the seam's fsync of a file and of its folder, in
# the seam library itself like its other OS calls.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
kbconf_library(kbconf_platform)
target_sources(kbconf_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PosixFileSync.cpp)
