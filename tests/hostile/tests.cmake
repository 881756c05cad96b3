# Hostile values in every name the module reads and every writable dataref it
# publishes: the built module through the simulated host.
corvane_integration_test(hostile_values_test ${CMAKE_CURRENT_LIST_DIR}/hostile_values_test.cpp)
target_include_directories(hostile_values_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/soak)
if(CORVANE_SANITIZE)
  target_compile_definitions(hostile_values_test PRIVATE CORVANE_SOAK_SANITIZED=1)
endif()
