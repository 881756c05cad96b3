# Air systems: cabin pressurisation.
corvane_unit_test(systems_pressurisation_test ${CMAKE_CURRENT_LIST_DIR}/pressurisation_test.cpp)
# Air systems: cabin temperature and pneumatics.
corvane_unit_test(systems_air_test ${CMAKE_CURRENT_LIST_DIR}/air_test.cpp)
target_compile_definitions(systems_air_test PRIVATE CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
