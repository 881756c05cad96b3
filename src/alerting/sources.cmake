# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/failure_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/alerting_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/failure_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tcas_labels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tcas_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/aural_cues.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gpws_test_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gpws.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gpws_callouts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gpws_links.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gpws_autoland.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tcas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tcas_targets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tcas_advisory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/failures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_failures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rating.cpp
)
