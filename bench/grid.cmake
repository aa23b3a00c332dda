velmora_add_widget_bench(grid_bench ${CMAKE_CURRENT_LIST_DIR}/GridBench.cpp)
target_compile_definitions(grid_bench
  PRIVATE VELMORA_SHIPPED_HOLIDAYS="${PROJECT_SOURCE_DIR}/data/Velmora.hol")
