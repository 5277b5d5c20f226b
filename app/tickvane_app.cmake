# The application's libraries, included from app/CMakeLists.txt.
#
# tickvane_appcore: the document, the template and the window arithmetic, free of Qt so the
# opening road and the rules test without a display.
add_library(tickvane_appcore STATIC
  ${CMAKE_CURRENT_LIST_DIR}/cli.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Doc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/framework.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_logic.cpp)
target_include_directories(tickvane_appcore PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tickvane_appcore PUBLIC tickvane_chart tickvane_platform
                                       PRIVATE tickvane_warnings)

if(TICKVANE_QT)
  find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport)

  # The settings file on QSettings.
  add_library(tickvane_qtprofile STATIC ${CMAKE_CURRENT_LIST_DIR}/../platform/qt/qt_profile.cpp)
  target_include_directories(tickvane_qtprofile PUBLIC ${CMAKE_CURRENT_LIST_DIR}/../platform/qt)
  target_link_libraries(tickvane_qtprofile PUBLIC tickvane_platform Qt6::Core
                                           PRIVATE tickvane_warnings)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/dialogs.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/showsplash.cmake)

if(TICKVANE_QT)
  # tickvane_appqt: the windows, the commands and the application object.
  add_library(tickvane_appqt STATIC
    ${CMAKE_CURRENT_LIST_DIR}/commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/images.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainFrm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tickvane.cpp
    ${CMAKE_CURRENT_LIST_DIR}/View.cpp)
  set_target_properties(tickvane_appqt PROPERTIES AUTOMOC ON)
  target_include_directories(tickvane_appqt PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(tickvane_appqt PUBLIC tickvane_appcore tickvane_qtprofile tickvane_dialogs
                                              tickvane_showsplash
                                              tickvane_platform_qt Qt6::Widgets Qt6::PrintSupport
                                       PRIVATE tickvane_warnings)
endif()

# The user guide the Help commands open, beside the program.
configure_file(${CMAKE_CURRENT_LIST_DIR}/../docs/user-guide.html
               ${CMAKE_CURRENT_BINARY_DIR}/help/user-guide.html COPYONLY)
