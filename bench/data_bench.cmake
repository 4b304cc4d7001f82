kbconf_bench_sources(
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DataBench.cpp
  LIBS kbconf_data)
