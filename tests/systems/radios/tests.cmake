# Weather report requests.
corvane_unit_test(systems_metar_test ${CMAKE_CURRENT_LIST_DIR}/metar_test.cpp)
