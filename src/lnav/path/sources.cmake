# Sources of lnav/path: the computed leg path: turns, arcs, holds, bypassed legs and the position along it; listed by hand, one per line.
target_sources(corvane_core PRIVATE
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
)
