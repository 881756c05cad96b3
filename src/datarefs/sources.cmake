# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/census.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lists_generated.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_service.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_engine_model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_throttle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_annunciator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_ice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_comm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_fire.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_cover_vent.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_light_switch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_cabin_light.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_tcas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_fms_legs.cpp
)
