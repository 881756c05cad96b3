# Weather report requests.
corvane_unit_test(systems_metar_test ${CMAKE_CURRENT_LIST_DIR}/metar_test.cpp)
# Radio tuning and audio panels.
corvane_unit_test(systems_radios_test ${CMAKE_CURRENT_LIST_DIR}/radios_test.cpp)
