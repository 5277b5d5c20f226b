# The chart's drawing and export benchmarks need Qt (images, fonts) and the tickvane
# executable; without them chart_bench.cpp compiles to nothing.
if(TARGET tickvane_export)
  target_link_libraries(tickvane_bench PRIVATE tickvane_export Qt6::Gui)
  add_dependencies(tickvane_bench tickvane)
  target_compile_definitions(tickvane_bench PRIVATE TICKVANE_EXE="$<TARGET_FILE:tickvane>"
                                                    TICKVANE_SAMPLE_MASTER="${PROJECT_SOURCE_DIR}/data/sample/MASTER")
endif()
