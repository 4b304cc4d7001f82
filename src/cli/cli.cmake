# kbconf-cli: lighting, version and reset from a shell.
kbconf_library(kbconf_cli)
target_sources(kbconf_cli PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CliCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CliRunner.cpp)
target_link_libraries(kbconf_cli PUBLIC kbconf_protocol kbconf_data kbconf_platforms)
add_executable(kbconf-cli ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(kbconf-cli PRIVATE kbconf_cli)
