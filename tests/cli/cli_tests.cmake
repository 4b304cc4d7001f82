kbconf_test(NAME test_cli
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CliTest.cpp
  LIBS kbconf_cli)
add_dependencies(test_cli kbconf-cli)
target_compile_definitions(test_cli PRIVATE KBCONF_CLI_PATH="$<TARGET_FILE:kbconf-cli>")
