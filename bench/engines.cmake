# Engines and thrust: one frame of the engine steps, and the hot lookups.
corvane_benchmark(engines_bench ${CMAKE_CURRENT_LIST_DIR}/engines_bench.cpp)
