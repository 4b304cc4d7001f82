# AppConfig: the settings file. Kept apart from the Qt shell so it builds and
# tests without a display.
kbconf_library(kbconf_appconfig)
target_sources(kbconf_appconfig PRIVATE ${CMAKE_CURRENT_LIST_DIR}/AppConfig.cpp)
target_link_libraries(kbconf_appconfig PUBLIC kbconf_data)
