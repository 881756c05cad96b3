corvane_unit_test(publication_accessor_kinds_test ${CMAKE_CURRENT_LIST_DIR}/accessor_kinds_test.cpp)
corvane_integration_test(publication_integration_test ${CMAKE_CURRENT_LIST_DIR}/publication_integration_test.cpp)

# Writers with logic, value by value.
corvane_unit_test(publication_values_test ${CMAKE_CURRENT_LIST_DIR}/values_test.cpp)
# Service channel and CG reference shift: in-process, and through the host.
corvane_unit_test(core_debug_service_test ${CMAKE_CURRENT_LIST_DIR}/debug_service_test.cpp)
corvane_integration_test(core_debug_service_integration_test ${CMAKE_CURRENT_LIST_DIR}/debug_service_integration_test.cpp)
