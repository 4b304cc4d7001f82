# Durable saves: fsync of a file and of its folder. A library of its own so that
# the data tables get it without the rest of the Linux backend.
kbconf_library(kbconf_filesync)
target_sources(kbconf_filesync PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PosixFileSync.cpp)
