# The platform factory (kbconf_platforms): CreatePlatform picks one of the
# platforms this build has by name. Each platform folder registers itself with
#   set_property(GLOBAL APPEND PROPERTY KBCONF_PLATFORMS
#     "<name>|<header>|<factory function>|<library>|real|sim")
# ("real": the build's default platform), so a platform joins by adding its
# folder; the list of factories is generated once every fragment has run.
kbconf_library(kbconf_platforms)
target_sources(kbconf_platforms PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PlatformFactory.cpp)
target_link_libraries(kbconf_platforms PUBLIC kbconf_platform)

function(kbconf_finish_platforms)
  get_property(entries GLOBAL PROPERTY KBCONF_PLATFORMS)
  set(includes "")
  set(rows "")
  foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" fields "${entry}")
    list(LENGTH fields n)
    if(NOT n EQUAL 5)
      message(FATAL_ERROR "KBCONF_PLATFORMS entry '${entry}' needs name|header|factory|library|real-or-sim")
    endif()
    list(GET fields 0 name)
    list(GET fields 1 header)
    list(GET fields 2 factory)
    list(GET fields 3 library)
    list(GET fields 4 kind)
    string(APPEND includes "#include \"${header}\"\n")
    if(kind STREQUAL "real")
      set(real "true")
    else()
      set(real "false")
    endif()
    string(APPEND rows "    {\"${name}\", &${factory}, ${real}},\n")
    target_link_libraries(kbconf_platforms PUBLIC ${library})
  endforeach()
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/platform/PlatformList.h CONTENT
"#pragma once
// Generated from the KBCONF_PLATFORMS entries of the platform folders.
#include \"platform/PlatformRegistry.h\"
${includes}
namespace platform {
inline constexpr PlatformEntry kPlatformList[] = {
${rows}};
}  // namespace platform
" @ONLY)
  target_include_directories(kbconf_platforms PRIVATE ${CMAKE_BINARY_DIR}/generated)
endfunction()
cmake_language(DEFER CALL kbconf_finish_platforms)
