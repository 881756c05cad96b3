# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/lifecycle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/binding_stub.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pending_core_stub.cpp
)
