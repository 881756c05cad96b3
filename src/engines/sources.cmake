# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/engine_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_model_coeffs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_values.cpp
)
