# Core benchmarks.
corvane_benchmark(binding_bench ${CMAKE_CURRENT_LIST_DIR}/binding_bench.cpp)
corvane_benchmark(core_frame_bench ${CMAKE_CURRENT_LIST_DIR}/core_frame_bench.cpp)
corvane_benchmark(core_route_bench ${CMAKE_CURRENT_LIST_DIR}/core_route_bench.cpp)
corvane_benchmark(hold_geometry_bench ${CMAKE_CURRENT_LIST_DIR}/hold_geometry_bench.cpp)
corvane_benchmark(core_service_bench ${CMAKE_CURRENT_LIST_DIR}/core_service_bench.cpp)
corvane_benchmark(panel_state_bench ${CMAKE_CURRENT_LIST_DIR}/panel_state_bench.cpp)
corvane_benchmark(core_state_bench ${CMAKE_CURRENT_LIST_DIR}/core_state_bench.cpp)
corvane_benchmark(route_pass_bench ${CMAKE_CURRENT_LIST_DIR}/route_pass_bench.cpp)
