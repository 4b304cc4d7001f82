kbconf_bench_sources(
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProtocolBench.cpp
  LIBS kbconf_protocol kbconf_platform_sim)
