# Navigation database and geodesy tests; one call per test program.
corvane_unit_test(navdata_geodesy_test ${CMAKE_CURRENT_LIST_DIR}/geodesy_test.cpp)
corvane_unit_test(navdata_air_data_test ${CMAKE_CURRENT_LIST_DIR}/air_data_test.cpp)
corvane_unit_test(navdb_loader_test ${CMAKE_CURRENT_LIST_DIR}/navdb_loader_test.cpp)
corvane_unit_test(navdb_scan_test ${CMAKE_CURRENT_LIST_DIR}/navdb_scan_test.cpp)
corvane_integration_test(navdb_integration_test ${CMAKE_CURRENT_LIST_DIR}/navdb_integration_test.cpp)
corvane_unit_test(navdata_thresholds_test ${CMAKE_CURRENT_LIST_DIR}/thresholds_test.cpp)

# Worked values at the navigation helpers' limits.
corvane_unit_test(navdata_values_test ${CMAKE_CURRENT_LIST_DIR}/values_test.cpp)

# A navigation data update that left empty files in Custom Data, flown
# through the simulated host with every published value checked: both files
# empty on host 12 and host 11, and only the fix file empty. Each run has a
# copy of the sample root of its own (navigation_update_root.cmake).
function(navigation_update_flight name kind)
  set(root ${CMAKE_CURRENT_BINARY_DIR}/navigation-update-${name})
  add_test(NAME scenario.empty-navigation-update.${name}.root COMMAND ${CMAKE_COMMAND}
    -DFROM=${CMAKE_SOURCE_DIR}/sample/root -DTO=${root} -DKIND=${kind}
    -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/navigation_update_root.cmake)
  set_tests_properties(scenario.empty-navigation-update.${name}.root PROPERTIES
    FIXTURES_SETUP navigation_update_${name})
  add_test(NAME scenario.empty-navigation-update.${name} COMMAND corvane-sim --root ${root} ${ARGN}
    --scenario ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/scenarios/empty-navigation-update.txt)
  set_tests_properties(scenario.empty-navigation-update.${name} PROPERTIES
    FIXTURES_REQUIRED navigation_update_${name})
endfunction()
navigation_update_flight(both-empty both-empty)
navigation_update_flight(both-empty-host11 both-empty --host-version 115000)
navigation_update_flight(fix-empty fix-empty)
