# Benchmarks of the simulated host itself.
corvane_benchmark(simhost_bench ${CMAKE_CURRENT_LIST_DIR}/simhost_bench.cpp)
