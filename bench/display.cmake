# Navigation display: one draw pass of both displays.
corvane_benchmark(display_bench ${CMAKE_CURRENT_LIST_DIR}/display_bench.cpp)
corvane_benchmark(display_passes_bench ${CMAKE_CURRENT_LIST_DIR}/display_passes_bench.cpp)
