# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/failure_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/paths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/handling_options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preprocess_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_refs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/binding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/binding_mirror.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pitch_trim.cpp
  ${CMAKE_CURRENT_LIST_DIR}/restored_travel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/variant.cpp
)
