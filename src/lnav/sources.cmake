# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/guidance_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fms_legs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fms_plan_list.cpp
)
