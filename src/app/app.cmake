# The kbconf application: start-up and shutdown, the tray icon, one instance
# per user, and the emulated keyboard's window for the demo.
if(KBCONF_GUI)
  find_package(Qt6 REQUIRED COMPONENTS Network)
  kbconf_library(kbconf_app)
  target_sources(kbconf_app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Application.h ${CMAKE_CURRENT_LIST_DIR}/Application.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SShellNotifyIcon.h ${CMAKE_CURRENT_LIST_DIR}/SShellNotifyIcon.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.h ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimDemo.h ${CMAKE_CURRENT_LIST_DIR}/SimDemo.cpp)
  target_link_libraries(kbconf_app PUBLIC kbconf_mainwnd kbconf_platforms kbconf_sim_window kbconf_sim_control_socket Qt6::Network)

  add_executable(kbconf ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
  target_link_libraries(kbconf PRIVATE kbconf_app)

  # The resources and the shipped settings beside the built executable.
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(NOT EXISTS ${CMAKE_BINARY_DIR}/bin/uires)
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/uires ${CMAKE_BINARY_DIR}/bin/uires SYMBOLIC)
  endif()
  add_custom_command(TARGET kbconf POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_CURRENT_LIST_DIR}/config.xml -DDST=$<TARGET_FILE_DIR:kbconf>/config.xml
            -P ${CMAKE_SOURCE_DIR}/cmake/CopyIfAbsent.cmake
    VERBATIM)
endif()
