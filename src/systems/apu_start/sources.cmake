# Sources of systems/apu_start: the APU and engine start switching; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/engine_start_switching.cpp
  ${CMAKE_CURRENT_LIST_DIR}/apu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/apu_start_state.cpp
)
