# Command registration against the simulated host.
corvane_benchmark(commands_bench ${CMAKE_CURRENT_LIST_DIR}/commands_bench.cpp)
