# Tests of the simulated host itself, and the smoke test of the real module.

# A small module loaded by path, as the real one is.
add_library(simhost_probe_module MODULE ${CMAKE_CURRENT_LIST_DIR}/probe_module.cpp)
target_link_libraries(simhost_probe_module PRIVATE corvane_warnings)
target_include_directories(simhost_probe_module PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_options(simhost_probe_module PRIVATE -fno-gnu-unique)
set_target_properties(simhost_probe_module PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET default)

add_executable(simhost_test
  ${CMAKE_CURRENT_LIST_DIR}/datarefs_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dispatch_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/world_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_test.cpp)
target_link_libraries(simhost_test PRIVATE corvane_warnings
  "$<LINK_LIBRARY:WHOLE_ARCHIVE,corvane_simhost>" GTest::gtest GTest::gtest_main)
target_compile_definitions(simhost_test PRIVATE PROBE_MODULE_PATH="$<TARGET_FILE:simhost_probe_module>")
add_dependencies(simhost_test simhost_probe_module)
set_target_properties(simhost_test PROPERTIES ENABLE_EXPORTS ON)
gtest_discover_tests(simhost_test DISCOVERY_TIMEOUT 60)

corvane_integration_test(simhost_smoke_test ${CMAKE_CURRENT_LIST_DIR}/smoke_test.cpp)

# The runner refuses bad arguments and missing files with a non-zero status.
add_test(NAME corvane_sim_bad_frames COMMAND corvane-sim --frames many)
add_test(NAME corvane_sim_missing_root COMMAND corvane-sim --root ${CMAKE_BINARY_DIR}/no-such-root)
set_tests_properties(corvane_sim_bad_frames corvane_sim_missing_root PROPERTIES WILL_FAIL TRUE)
add_test(NAME corvane_sim_runs COMMAND corvane-sim --frames 2 --list-datarefs --list-commands --log)
