# kbconf-helper, the privileged key service on Linux (evdev, uinput), and its
# core as a library for the tests and benchmarks.
pkg_check_modules(EVDEV IMPORTED_TARGET libevdev)
pkg_check_modules(SYSTEMD IMPORTED_TARGET libsystemd)
if(TARGET PkgConfig::EVDEV AND TARGET PkgConfig::SYSTEMD AND TARGET PkgConfig::UDEV)
  kbconf_library(kbconf_helper_core)
  target_sources(kbconf_helper_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/EventNodes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FdEventSink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InputNode.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyRouter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PeerCheck.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UinputDevice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VirtualKeyboard.cpp)
  target_link_libraries(kbconf_helper_core PUBLIC kbconf_platform_linux PkgConfig::EVDEV PkgConfig::SYSTEMD PkgConfig::UDEV)

  add_executable(kbconf-helper ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
  target_link_libraries(kbconf-helper PRIVATE kbconf_helper_core)
else()
  message(STATUS "kbconf-helper not built: needs libevdev, libsystemd and libudev (scripts/deps)")
endif()

# Installation and the package; the programs it installs (kbconf, kbconf-cli
# and kbconf-helper) are all defined by now.
include(${CMAKE_SOURCE_DIR}/packaging/packaging.cmake)
