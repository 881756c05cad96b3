# Navigation database and geodesy tests; one call per test program.
corvane_unit_test(navdata_geodesy_test ${CMAKE_CURRENT_LIST_DIR}/geodesy_test.cpp)
corvane_unit_test(navdata_air_data_test ${CMAKE_CURRENT_LIST_DIR}/air_data_test.cpp)
corvane_unit_test(navdb_loader_test ${CMAKE_CURRENT_LIST_DIR}/navdb_loader_test.cpp)
corvane_unit_test(navdb_scan_test ${CMAKE_CURRENT_LIST_DIR}/navdb_scan_test.cpp)
corvane_integration_test(navdb_integration_test ${CMAKE_CURRENT_LIST_DIR}/navdb_integration_test.cpp)
corvane_unit_test(navdata_thresholds_test ${CMAKE_CURRENT_LIST_DIR}/thresholds_test.cpp)

# Worked values at the navigation helpers' limits.
corvane_unit_test(navdata_values_test ${CMAKE_CURRENT_LIST_DIR}/values_test.cpp)
