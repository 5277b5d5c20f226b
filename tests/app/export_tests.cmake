# The headless export: the command line and the tickvane executable run on small databases.
add_executable(export_tests ${CMAKE_CURRENT_LIST_DIR}/export_tests.cpp)
target_link_libraries(export_tests PRIVATE tickvane_export tickvane_test_support
                                           GTest::gtest_main Qt6::Gui tickvane_warnings)
target_compile_definitions(export_tests PRIVATE TICKVANE_EXE="$<TARGET_FILE:tickvane>")
add_dependencies(export_tests tickvane)
gtest_discover_tests(export_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# The drawing surface on QPainter.
add_executable(qt_surface_tests ${CMAKE_CURRENT_LIST_DIR}/qt_surface_tests.cpp)
target_link_libraries(qt_surface_tests PRIVATE tickvane_platform_qt GTest::gtest Qt6::Gui
                                               tickvane_warnings)
gtest_discover_tests(qt_surface_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
