# Anti-ice and window heat.
corvane_unit_test(systems_anti_ice_test ${CMAKE_CURRENT_LIST_DIR}/anti_ice_test.cpp)
# Rain on the glass, de-ice holdover, ice and the touchdown and vortex effects.
corvane_unit_test(systems_ice_rain_test ${CMAKE_CURRENT_LIST_DIR}/ice_rain_test.cpp)
