# The emulated clock for repeatable timing tests.
kbconf_library(kbconf_sim)
target_sources(kbconf_sim PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SimClock.cpp)
target_link_libraries(kbconf_sim PUBLIC kbconf_platform)
