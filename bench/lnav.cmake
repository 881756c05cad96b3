# Lateral navigation benchmarks.
corvane_benchmark(leg_path_bench ${CMAKE_CURRENT_LIST_DIR}/leg_path_bench.cpp)
corvane_benchmark(servo_steering_bench ${CMAKE_CURRENT_LIST_DIR}/servo_steering_bench.cpp)
