# The application's own widgets: keyboard picture, extended check/radio/edit,
# animated tab control and animated image.
if(KBCONF_GUI)
  kbconf_library(kbconf_widgets)
  foreach(_s CoordButtonImage ExButtonLook SCheckBoxEx SRadioBoxEx SEditEx STabPage2 STabCtrl2 SAnimImg CustomWidgets)
    target_sources(kbconf_widgets PRIVATE ${CMAKE_CURRENT_LIST_DIR}/${_s}.cpp ${CMAKE_CURRENT_LIST_DIR}/${_s}.h)
  endforeach()
  target_sources(kbconf_widgets PRIVATE ${CMAKE_CURRENT_LIST_DIR}/CoordButton.h
    ${CMAKE_CURRENT_LIST_DIR}/ICoordButtonClickListener.h)
  target_link_libraries(kbconf_widgets PUBLIC kbconf_ui)
endif()
