# Engines and thrust: tables, force model, engine state and thrust command
# in-process, and the force override through the host.
corvane_unit_test(engines_unit_test
  ${CMAKE_CURRENT_LIST_DIR}/tables_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/forces_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/state_test.cpp)
corvane_integration_test(engines_integration_test ${CMAKE_CURRENT_LIST_DIR}/engines_integration_test.cpp)
corvane_unit_test(engines_thrust_lever_test ${CMAKE_CURRENT_LIST_DIR}/thrust_lever_test.cpp)
# Thresholds, table rows and worked values of the start model, one row each.
corvane_unit_test(engines_thresholds_test ${CMAKE_CURRENT_LIST_DIR}/thresholds_test.cpp)
# Published values of the engine display, levers and autothrottle, law by law.
corvane_unit_test(engines_values_test ${CMAKE_CURRENT_LIST_DIR}/values_test.cpp)
