# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/guidance_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lnav_steering.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flight_director.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flight_director_shaping.cpp
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
  ${CMAKE_CURRENT_LIST_DIR}/direct_to_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hold_entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/true_distance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/path_position.cpp
  ${CMAKE_CURRENT_LIST_DIR}/path_position_hold.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_tracking.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sequencing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sequencing_phases.cpp
)
