# Alerting: GPWS envelopes, sequencing, self-test, callouts and the autoland
# grade in-process.
corvane_unit_test(alerting_unit_test
  ${CMAKE_CURRENT_LIST_DIR}/gpws_test.cpp)
# Traffic computer, failure model, engine failures and the flight rating.
corvane_unit_test(alerting_traffic_failures_test
  ${CMAKE_CURRENT_LIST_DIR}/tcas_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/failures_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rating_test.cpp)
# A GPWS callout through the simulated host.
corvane_integration_test(alerting_gpws_host_test ${CMAKE_CURRENT_LIST_DIR}/gpws_host_test.cpp)
# Thresholds and worked values of the alerting envelopes, one row each.
corvane_unit_test(alerting_thresholds_test ${CMAKE_CURRENT_LIST_DIR}/thresholds_test.cpp)
# Worked values and limits of the alerting laws, one table row each.
corvane_unit_test(alerting_values_test ${CMAKE_CURRENT_LIST_DIR}/values_test.cpp)
# Random failures through the simulated host, from pinned seeds.
corvane_integration_test(alerting_random_failures_host_test COST 3000 ${CMAKE_CURRENT_LIST_DIR}/random_failures_host_test.cpp)
