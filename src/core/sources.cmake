# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/state_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panel_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/state_arrays.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lifecycle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/binding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/binding_mirror.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pitch_trim.cpp
  ${CMAKE_CURRENT_LIST_DIR}/util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/variant.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preprocess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_intake.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_pass_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/path_build.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_sets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hold_geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/debug_service.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cg_reference.cpp
)
