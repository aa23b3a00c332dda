velmora_add_widget_bench(startup_bench ${CMAKE_CURRENT_LIST_DIR}/StartupBench.cpp)
target_compile_definitions(startup_bench
  PRIVATE VELMORA_SHIPPED_HOLIDAYS="${PROJECT_SOURCE_DIR}/data/Velmora.hol")
