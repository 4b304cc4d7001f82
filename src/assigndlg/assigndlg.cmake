# The key-assignment dialog and the adapters of its two lists.
if(KBCONF_GUI)
  kbconf_library(kbconf_assigndlg)
  foreach(_s MacroGroupAdapter KeyAndDelayAdapter MacroRecordDlg)
    target_sources(kbconf_assigndlg PRIVATE ${CMAKE_CURRENT_LIST_DIR}/${_s}.cpp ${CMAKE_CURRENT_LIST_DIR}/${_s}.h)
  endforeach()
  target_sources(kbconf_assigndlg PRIVATE ${CMAKE_CURRENT_LIST_DIR}/IOnMacroGroupClickedListener.h)
  target_link_libraries(kbconf_assigndlg PUBLIC kbconf_widgets kbconf_ui kbconf_fnkeys kbconf_appconfig kbconf_data)
endif()
