# Navigation database and geodesy benchmarks.
corvane_benchmark(navdata_geodesy_bench ${CMAKE_CURRENT_LIST_DIR}/geodesy_bench.cpp)
corvane_benchmark(navdb_bench ${CMAKE_CURRENT_LIST_DIR}/navdb_bench.cpp)
