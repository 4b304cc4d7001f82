# Emulated pieces of the function-key service: the clock for exact timing tests,
# the keyboard's physical keys and the filter driver.
kbconf_library(kbconf_platform_sim)
target_sources(kbconf_platform_sim PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SimClock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimTraceLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimKeySource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimFilterDriver.cpp)
target_link_libraries(kbconf_platform_sim PUBLIC kbconf_platform)
target_sources(kbconf_platform_sim PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SimVirtualKeyboard.cpp)
target_sources(kbconf_platform_sim PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SimDriverInstaller.cpp)
target_sources(kbconf_platform_sim PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SimFunctionKeys.cpp)
