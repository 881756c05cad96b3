# Anti-ice and window heat.
corvane_unit_test(systems_anti_ice_test ${CMAKE_CURRENT_LIST_DIR}/anti_ice_test.cpp)
