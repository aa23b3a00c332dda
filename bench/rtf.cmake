velmora_add_bench(rtf_bench RtfBench.cpp)
target_link_libraries(rtf_bench PRIVATE velmora_gui)
