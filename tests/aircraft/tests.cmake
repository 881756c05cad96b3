# Top layer: lifecycle and the frame sequencer, pre-processing, the start-up
# cockpit, the saved state arrays and the panel-state exchange.

# Frame pre-processing against the simulated host.
corvane_unit_test(aircraft_preprocess_test ${CMAKE_CURRENT_LIST_DIR}/preprocess_test.cpp)
# Lifecycle and frame sequencer: step order in-process, and the module through the host.
corvane_unit_test(aircraft_lifecycle_test
  ${CMAKE_CURRENT_LIST_DIR}/lifecycle_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_test.cpp)
corvane_integration_test(aircraft_lifecycle_integration_test ${CMAKE_CURRENT_LIST_DIR}/lifecycle_integration_test.cpp)
# Panel-state exchange with the scripts: in-process, and through the host.
corvane_unit_test(aircraft_panel_state_test ${CMAKE_CURRENT_LIST_DIR}/panel_state_test.cpp)
corvane_integration_test(aircraft_panel_state_integration_test ${CMAKE_CURRENT_LIST_DIR}/panel_state_integration_test.cpp)
# Packed cockpit state arrays and the start-up cockpit state.
corvane_unit_test(aircraft_state_arrays_test ${CMAKE_CURRENT_LIST_DIR}/state_arrays_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/restore_census_test.cpp)
# The restore census reads its table of travels from the source tree.
target_compile_definitions(aircraft_state_arrays_test PRIVATE CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
corvane_unit_test(aircraft_startup_state_test ${CMAKE_CURRENT_LIST_DIR}/startup_state_test.cpp)
corvane_integration_test(aircraft_cockpit_state_integration_test ${CMAKE_CURRENT_LIST_DIR}/cockpit_state_integration_test.cpp)
# The situation-loaded marker: set by the main loop, read by guidance and engines.
corvane_unit_test(aircraft_situation_marker_test ${CMAKE_CURRENT_LIST_DIR}/situation_marker_test.cpp)
# The engine vibration curve just past its breakpoints.
corvane_unit_test(aircraft_thresholds_test ${CMAKE_CURRENT_LIST_DIR}/thresholds_test.cpp)
# The start-up cockpit value by value, and worked values of the core helpers.
corvane_unit_test(aircraft_values_test ${CMAKE_CURRENT_LIST_DIR}/values_test.cpp)
