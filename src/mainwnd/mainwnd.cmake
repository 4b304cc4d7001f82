# The main window: connection, lighting panel, assignment flow, commands.
if(KBCONF_GUI)
  kbconf_library(kbconf_mainwnd)
  target_sources(kbconf_mainwnd PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CMainDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/CMainDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMainDlgLighting.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMainDlgCommands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMainDlgAssign.cpp)
  target_link_libraries(kbconf_mainwnd PUBLIC kbconf_assigndlg kbconf_widgets kbconf_ui kbconf_protocol kbconf_fnkeys kbconf_appconfig
    kbconf_data kbconf_hid)
endif()
