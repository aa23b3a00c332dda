velmora_add_bench(rtf_bench RtfBench.cpp)
target_link_libraries(rtf_bench PRIVATE velmora_gui)
velmora_add_bench(rtf_view_bench RtfViewBench.cpp)
target_link_libraries(rtf_view_bench PRIVATE velmora_gui Qt6::Widgets)
