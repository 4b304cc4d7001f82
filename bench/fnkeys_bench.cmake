kbconf_bench_sources(
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FnkeysBench.cpp
  LIBS kbconf_fnkeys kbconf_platform_sim)
