# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/guidance_steps.cpp
)
# Each area lists its own sources.
include(${CMAKE_CURRENT_LIST_DIR}/path/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/route/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/steering/sources.cmake)
