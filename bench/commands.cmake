# Command registration against the simulated host.
corvane_benchmark(commands_bench ${CMAKE_CURRENT_LIST_DIR}/commands_bench.cpp)
corvane_benchmark(cockpit_handlers_bench ${CMAKE_CURRENT_LIST_DIR}/cockpit_handlers_bench.cpp)
corvane_benchmark(panel_handlers_bench ${CMAKE_CURRENT_LIST_DIR}/panel_handlers_bench.cpp)
