# The device protocol: the supported keyboards, packet builders, and the
# keyboard link (pacing, lighting, version, reset). No UI.
kbconf_library(kbconf_protocol)
target_sources(kbconf_protocol PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Packets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyboardLink.cpp)
target_link_libraries(kbconf_protocol PUBLIC kbconf_hid kbconf_data kbconf_platform)
