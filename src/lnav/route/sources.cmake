# Sources of lnav/route: the route tables, their intake, the route passes and sets, sequencing and holds; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/route_geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fms_legs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fms_plan_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_tracking.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sequencing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sequencing_phases.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_intake.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_pass_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/path_build.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_sets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hold_geometry.cpp
)
