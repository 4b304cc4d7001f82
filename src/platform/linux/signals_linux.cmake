# Termination requests from outside (SIGTERM, SIGINT, SIGHUP) as a descriptor.
kbconf_library(kbconf_platform_linux)
target_sources(kbconf_platform_linux PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TerminationSignal.cpp)
