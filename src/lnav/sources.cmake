# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/guidance_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controller.cpp
  ${CMAKE_CURRENT_LIST_DIR}/servo_laws.cpp
  ${CMAKE_CURRENT_LIST_DIR}/steering_helpers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fms_legs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fms_plan_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/leg_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/turn_center.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flyby_turn.cpp
  ${CMAKE_CURRENT_LIST_DIR}/floating_legs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bypass.cpp
  ${CMAKE_CURRENT_LIST_DIR}/arc_legs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/true_distance.cpp
)
