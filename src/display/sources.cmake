# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/map_symbols.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pfd_speed.cpp
  ${CMAKE_CURRENT_LIST_DIR}/map_primitives.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nd_draw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nd_style.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nd_labels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_lines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nd_map_frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nd_slots.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nd_holds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vnav_markers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fix_overlay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trend_vector.cpp
)
