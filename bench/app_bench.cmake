# The whole application's start-up, memory and idle cost are measured by
# bench/app_figures.py against this bare window, side by side in one run.
if(KBCONF_GUI)
  add_executable(kbconf_barewindow ${CMAKE_CURRENT_LIST_DIR}/BareWindow.cpp)
  target_link_libraries(kbconf_barewindow PRIVATE Qt6::Widgets)
endif()
