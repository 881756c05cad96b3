# Sources of systems/switches: cockpit switch memory, targets and guarded covers; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/switch_memory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/covers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/switch_targets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/switch_values.cpp
)
