#The Go To and View Options dialogs with the colour list and palette buttons, included from
#app / tickvane_app.cmake.
if (TICKVANE_QT)
add_library(tickvane_dialogs STATIC ${CMAKE_CURRENT_LIST_DIR} /
            dialog_units.cpp ${CMAKE_CURRENT_LIST_DIR} / goto_list.cpp ${CMAKE_CURRENT_LIST_DIR} /
            Gotodlg.cpp ${CMAKE_CURRENT_LIST_DIR} / Odbutton.cpp ${CMAKE_CURRENT_LIST_DIR} /
            Odlist.cpp ${CMAKE_CURRENT_LIST_DIR} / Voptdlg.cpp)
    set_target_properties(tickvane_dialogs PROPERTIES AUTOMOC ON)
        target_include_directories(tickvane_dialogs PUBLIC ${CMAKE_CURRENT_LIST_DIR})
            target_link_libraries(tickvane_dialogs PUBLIC tickvane_appcore tickvane_platform_qt
                                      tickvane_qtprofile Qt6::Widgets PRIVATE tickvane_warnings)
                endif()
