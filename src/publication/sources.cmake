# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/publish.cpp
  ${CMAKE_CURRENT_LIST_DIR}/service_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lever_writers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/selector_writers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/switch_writers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/debug_service.cpp
)
