# Time for the worker threads and the key-action service, and the seams of the
# function-key service (filter driver, process runner, file checks).
kbconf_library(kbconf_platform)
target_sources(kbconf_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilterDriver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilterEngine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProcessRunner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileProbe.cpp)
# The body of the timed waits' timer slack comes from the platform's folder.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(kbconf_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/linux/TimerSlack.cpp)
endif()
