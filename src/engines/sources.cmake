# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/engine_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_model_coeffs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thrust_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/idle_ratios.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_forces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/n1_command.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flight_model_adjust.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_eicas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thrust_levers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/autothrottle_speed.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_start.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_indications.cpp
)
