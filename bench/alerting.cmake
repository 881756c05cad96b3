# Alerting: one GPWS frame, one traffic computer frame (between cycles and on
# a cycle), the failure scan with the flight rating.
corvane_benchmark(alerting_bench ${CMAKE_CURRENT_LIST_DIR}/alerting_bench.cpp)
