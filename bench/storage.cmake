velmora_add_bench(storage_bench ${CMAKE_CURRENT_LIST_DIR}/StorageBench.cpp)
target_link_libraries(storage_bench PRIVATE velmora_core)
