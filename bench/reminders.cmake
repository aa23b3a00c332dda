velmora_add_bench(reminders_bench ${CMAKE_CURRENT_LIST_DIR}/RemindersBench.cpp)
target_link_libraries(reminders_bench PRIVATE velmora_ui)
