# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/state_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panel_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/state_arrays.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lifecycle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preprocess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cg_reference.cpp
)
