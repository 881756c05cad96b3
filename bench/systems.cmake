# Aircraft systems benchmarks.
corvane_benchmark(systems_bench ${CMAKE_CURRENT_LIST_DIR}/systems_bench.cpp)
corvane_benchmark(panels_bench ${CMAKE_CURRENT_LIST_DIR}/panels_bench.cpp)
corvane_benchmark(aircraft_systems_bench ${CMAKE_CURRENT_LIST_DIR}/aircraft_systems_bench.cpp)
corvane_benchmark(cockpit_sections_bench ${CMAKE_CURRENT_LIST_DIR}/cockpit_sections_bench.cpp)
