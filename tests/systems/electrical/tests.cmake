# Electrical buses, battery and ground power.
corvane_unit_test(systems_electrical_test ${CMAKE_CURRENT_LIST_DIR}/electrical_test.cpp)
