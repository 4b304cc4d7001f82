# The UI layer: resources, layouts, lookups, events, lists, skins, translations,
# message boxes, menus, the animation timeline and the tray icon, on Qt 6 Widgets.
if(KBCONF_GUI)
  kbconf_library(kbconf_ui)
  set(_ui_sources NamedIds ResourceProvider Skin ValueTables LanguageTranslator TranslatorManager
    WidgetTree Events Timeline UiApp BuiltinWidgets LayoutLoader ListAdapter
    SWindow SStatic SButton SCheckBox SRadioBox SEdit SComboBox SSliderBar STabPage STabCtrl
    SListView SHeaderCtrl SMCListView HostWindow HostDialog PostedMessage MessageBox PopupMenu STrayIcon)
  foreach(_s IN LISTS _ui_sources)
    target_sources(kbconf_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/${_s}.cpp ${CMAKE_CURRENT_LIST_DIR}/${_s}.h)
  endforeach()
  target_sources(kbconf_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/AttributeSink.h ${CMAKE_CURRENT_LIST_DIR}/ButtonState.h
    ${CMAKE_CURRENT_LIST_DIR}/RowTemplate.h)
  target_link_libraries(kbconf_ui PUBLIC Qt6::Widgets Qt6::UiTools Qt6::Svg pugixml::pugixml)
endif()

# A viewer for people working on the resources (lives here: it is the layer's own tool).
if(KBCONF_GUI)
  add_executable(kbconf-uiview ${CMAKE_CURRENT_LIST_DIR}/UiView.cpp)
  target_link_libraries(kbconf-uiview PRIVATE kbconf_widgets kbconf_ui)
endif()
