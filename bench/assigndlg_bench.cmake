if(KBCONF_GUI)
  kbconf_bench_sources(
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/AssignDlgBench.cpp
    LIBS kbconf_assigndlg kbconf_platform_sim)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/AssignDlgBench.cpp PROPERTIES
    COMPILE_DEFINITIONS "KBCONF_UIRES_DIR=\"${CMAKE_SOURCE_DIR}/uires\"")
endif()
