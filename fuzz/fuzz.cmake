# One libFuzzer target per data file reader (configure with clang and -DKBCONF_FUZZ=ON).
# Run one with the golden files as seeds, e.g.
#   build-fuzz/fuzz/fuzz_record -max_total_time=60 -rss_limit_mb=2048 \
#     -dict=fuzz/xml.dict <corpus folder with tests/data/data/record.xml>
kbconf_fuzzer(fuzz_config SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzConfig.cpp LIBS kbconf_appconfig)
kbconf_fuzzer(fuzz_ledeffect SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzLedeffect.cpp LIBS kbconf_data)
kbconf_fuzzer(fuzz_sidemodel SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzSidemodel.cpp LIBS kbconf_data)
kbconf_fuzzer(fuzz_macro SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzMacro.cpp LIBS kbconf_data)
kbconf_fuzzer(fuzz_record SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzRecord.cpp LIBS kbconf_data)
