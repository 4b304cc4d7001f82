# kbimggen draws the keyboard pictures and skins under uires/ from their sources.
# Rerun after editing uires/keyboard/keyboard.xml or tools/kbimggen:
#   cmake --build <build> --target kbimggen_run
if(KBCONF_GUI)
  add_executable(kbimggen
    ${CMAKE_CURRENT_LIST_DIR}/kbimggen/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/kbimggen/KeyCap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/kbimggen/KeyboardRenderer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/kbimggen/SkinRenderer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/kbimggen/SavePng.h)
  target_compile_definitions(kbimggen PRIVATE KBIMGGEN_ART_DIR="${CMAKE_CURRENT_LIST_DIR}/kbimggen/art")
  target_link_libraries(kbimggen PRIVATE Qt6::Gui Qt6::Svg pugixml::pugixml)
  add_custom_target(kbimggen_run
    COMMAND kbimggen ${CMAKE_SOURCE_DIR}/uires
    DEPENDS kbimggen
    COMMENT "Drawing the keyboard pictures and skins into uires/"
    VERBATIM)
endif()
