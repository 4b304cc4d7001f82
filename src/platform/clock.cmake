# Time for the worker threads and the key-action service.
kbconf_library(kbconf_platform)
target_sources(kbconf_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Clock.cpp)
