velmora_add_bench(calendar_bench CalendarBench.cpp)
target_link_libraries(calendar_bench PRIVATE velmora_core)
target_compile_definitions(calendar_bench
  PRIVATE VELMORA_SHIPPED_HOLIDAYS="${PROJECT_SOURCE_DIR}/data/Velmora.hol")
