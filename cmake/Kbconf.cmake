# Helpers used by the *.cmake fragments of each folder.

# kbconf_library(<target>): creates the static library the first time a fragment
# names it; later fragments just add sources to it.
function(kbconf_library target)
  if(NOT TARGET ${target})
    add_library(${target} STATIC)
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC Threads::Threads)
  endif()
endfunction()

# kbconf_test(NAME <exe> SOURCES ... [LIBS ...] [LABELS <label>] [GUI])
# GUI tests are labelled 'gui' unless they name another label (end-to-end tests: 'e2e').
# One GoogleTest executable whose cases are registered one by one in CTest.
# GUI tests run on the offscreen platform and may write PNGs to <build>/screenshots.
function(kbconf_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  target_compile_definitions(${T_NAME} PRIVATE
    KBCONF_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KBCONF_BINARY_DIR="${CMAKE_BINARY_DIR}"
    KBCONF_TEST_DATA="${CMAKE_CURRENT_LIST_DIR}/data")
  # GoogleTest's discovery loses the escaping of list values in PROPERTIES, so each
  # property gets a single value: the offscreen platform for GUI tests (the build
  # folder reaches tests as a compile definition) and one label per executable.
  set(props TIMEOUT 300)
  list(LENGTH T_LABELS n)
  if(n GREATER 1)
    message(FATAL_ERROR "kbconf_test(${T_NAME}): one label per test executable (GUI tests get 'gui' unless given another)")
  endif()
  if(T_GUI)
    if(n EQUAL 0)
      set(T_LABELS gui)
    endif()
    list(APPEND props ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${T_LABELS})
  elseif(n GREATER 0)
    list(APPEND props LABELS ${T_LABELS})
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${props})
endfunction()

# kbconf_bench_sources(<sources...> [LIBS ...]): adds sources to the single
# benchmark executable kbconf_bench.
set_property(GLOBAL PROPERTY KBCONF_BENCH_SOURCES "")
set_property(GLOBAL PROPERTY KBCONF_BENCH_LIBS "")
function(kbconf_bench_sources)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  set_property(GLOBAL APPEND PROPERTY KBCONF_BENCH_SOURCES ${B_SOURCES})
  set_property(GLOBAL APPEND PROPERTY KBCONF_BENCH_LIBS ${B_LIBS})
endfunction()

function(kbconf_finish_bench)
  get_property(sources GLOBAL PROPERTY KBCONF_BENCH_SOURCES)
  get_property(libs GLOBAL PROPERTY KBCONF_BENCH_LIBS)
  if(KBCONF_BENCH AND sources)
    add_executable(kbconf_bench ${sources})
    target_include_directories(kbconf_bench PRIVATE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(kbconf_bench PRIVATE ${libs} benchmark::benchmark benchmark::benchmark_main)
  endif()
endfunction()

# kbconf_fuzzer(<name> SOURCES ... LIBS ...): a libFuzzer target (KBCONF_FUZZ=ON only).
function(kbconf_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
