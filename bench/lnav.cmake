# Lateral navigation benchmarks.
corvane_benchmark(leg_path_bench ${CMAKE_CURRENT_LIST_DIR}/leg_path_bench.cpp)
corvane_benchmark(servo_steering_bench ${CMAKE_CURRENT_LIST_DIR}/servo_steering_bench.cpp)
corvane_benchmark(arc_direct_bench ${CMAKE_CURRENT_LIST_DIR}/arc_direct_bench.cpp)
corvane_benchmark(guidance_bench ${CMAKE_CURRENT_LIST_DIR}/guidance_bench.cpp)
corvane_benchmark(sequencing_bench ${CMAKE_CURRENT_LIST_DIR}/sequencing_bench.cpp)
corvane_benchmark(direct_turn_bench ${CMAKE_CURRENT_LIST_DIR}/direct_turn_bench.cpp)
