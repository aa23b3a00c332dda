velmora_add_widget_bench(window_bench ${CMAKE_CURRENT_LIST_DIR}/WindowBench.cpp)
target_compile_definitions(window_bench
  PRIVATE VELMORA_SHIPPED_HOLIDAYS="${PROJECT_SOURCE_DIR}/data/Velmora.hol")
