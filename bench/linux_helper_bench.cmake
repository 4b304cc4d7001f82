# The key service on fixture nodes, as in its tests. This fragment is read
# before src/helper defines the service's library, so it asks for the same
# packages the service needs.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  pkg_check_modules(EVDEV IMPORTED_TARGET libevdev)
  pkg_check_modules(SYSTEMD IMPORTED_TARGET libsystemd)
  if(TARGET PkgConfig::EVDEV AND TARGET PkgConfig::SYSTEMD AND TARGET PkgConfig::UDEV)
    kbconf_bench_sources(
      SOURCES ${CMAKE_CURRENT_LIST_DIR}/LinuxHelperBench.cpp ${CMAKE_SOURCE_DIR}/tests/helper/FakeEvdev.cpp
      LIBS kbconf_helper_core kbconf_fnkeys kbconf_data kbconf_platform_sim ${CMAKE_DL_LIBS})
  endif()
endif()
