# Core benchmarks.
corvane_benchmark(binding_bench ${CMAKE_CURRENT_LIST_DIR}/binding_bench.cpp)
corvane_benchmark(core_route_bench ${CMAKE_CURRENT_LIST_DIR}/core_route_bench.cpp)
