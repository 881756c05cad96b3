corvane_unit_test(publication_accessor_kinds_test ${CMAKE_CURRENT_LIST_DIR}/accessor_kinds_test.cpp)
corvane_integration_test(publication_integration_test ${CMAKE_CURRENT_LIST_DIR}/publication_integration_test.cpp)

# The gear horn cut-out button's writer: only a new press silences.
corvane_unit_test(publication_gear_horn_cutout_test ${CMAKE_CURRENT_LIST_DIR}/gear_horn_cutout_test.cpp)
# Service channel and CG reference shift: in-process, and through the host.
corvane_unit_test(publication_debug_service_test ${CMAKE_CURRENT_LIST_DIR}/debug_service_test.cpp)
corvane_integration_test(publication_debug_service_integration_test ${CMAKE_CURRENT_LIST_DIR}/debug_service_integration_test.cpp)
target_compile_definitions(publication_debug_service_integration_test PRIVATE CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
