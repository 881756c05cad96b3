# Hydraulic pumps, pressures and the standby system.
corvane_unit_test(systems_hydraulics_test ${CMAKE_CURRENT_LIST_DIR}/hydraulics_test.cpp)
