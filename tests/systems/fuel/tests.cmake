# Fuel pumps, feed, quantities and temperature.
corvane_unit_test(systems_fuel_test ${CMAKE_CURRENT_LIST_DIR}/fuel_test.cpp)
