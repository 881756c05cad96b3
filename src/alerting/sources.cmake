# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/failure_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/alerting_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/failure_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tcas_labels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tcas_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/aural_cues.cpp
)
