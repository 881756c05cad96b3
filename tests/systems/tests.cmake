# Aircraft systems tests; one line per test program.
corvane_unit_test(systems_delay_timers_test ${CMAKE_CURRENT_LIST_DIR}/delay_timers_test.cpp)
