# Fuzz targets for the HID parsers (configure with clang and -DKBCONF_FUZZ=ON), e.g.
#   build-fuzz/fuzz/fuzz_device_path -max_total_time=60
kbconf_fuzzer(fuzz_device_path SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzDevicePath.cpp LIBS kbconf_hid)
kbconf_fuzzer(fuzz_report_descriptor SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzReportDescriptor.cpp
  LIBS kbconf_platform_linux)
