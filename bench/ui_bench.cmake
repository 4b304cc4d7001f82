if(KBCONF_GUI)
  kbconf_bench_sources(
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/UiBench.cpp
    LIBS kbconf_widgets kbconf_ui)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/UiBench.cpp PROPERTIES
    COMPILE_DEFINITIONS "KBCONF_UIRES_DIR=\"${CMAKE_SOURCE_DIR}/uires\"")
endif()
