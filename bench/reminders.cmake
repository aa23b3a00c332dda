velmora_add_widget_bench(reminders_bench ${CMAKE_CURRENT_LIST_DIR}/RemindersBench.cpp)
