# The slide show, the splash window and the About box, included from app/tickvane_app.cmake.
if(TICKVANE_QT)
  add_library(tickvane_showsplash STATIC
    ${CMAKE_CURRENT_LIST_DIR}/About.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Splash.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Sshowdlg.cpp)
  set_target_properties(tickvane_showsplash PROPERTIES AUTOMOC ON)
  target_include_directories(tickvane_showsplash PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(tickvane_showsplash PUBLIC tickvane_appcore tickvane_dialogs
                                                   tickvane_platform_qt Qt6::Widgets
                                            PRIVATE tickvane_warnings)
endif()
