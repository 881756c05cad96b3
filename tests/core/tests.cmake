# Core tests; one line per test program.
corvane_unit_test(core_util_test ${CMAKE_CURRENT_LIST_DIR}/util_test.cpp)
corvane_unit_test(core_variant_test ${CMAKE_CURRENT_LIST_DIR}/variant_test.cpp)
corvane_unit_test(core_preprocess_test ${CMAKE_CURRENT_LIST_DIR}/preprocess_test.cpp)
corvane_unit_test(core_route_intake_test ${CMAKE_CURRENT_LIST_DIR}/route_intake_test.cpp)
corvane_integration_test(core_route_intake_integration_test ${CMAKE_CURRENT_LIST_DIR}/route_intake_integration_test.cpp)
corvane_unit_test(core_binding_test ${CMAKE_CURRENT_LIST_DIR}/binding_test.cpp)
corvane_integration_test(core_binding_integration_test ${CMAKE_CURRENT_LIST_DIR}/binding_integration_test.cpp)

# Lifecycle and frame sequencer: step order in-process, and the module through the host.
corvane_unit_test(core_lifecycle_test
  ${CMAKE_CURRENT_LIST_DIR}/lifecycle_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_test.cpp)
corvane_integration_test(core_lifecycle_integration_test ${CMAKE_CURRENT_LIST_DIR}/lifecycle_integration_test.cpp)
