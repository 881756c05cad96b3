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

# The scenario player: parser, timing, held commands, expectations, traces,
# the flying aircraft, and the sample scenarios' drawings against their
# references (rewritten only by scripts/update-scenario-lines.sh).
add_library(scenario_lines STATIC ${CMAKE_CURRENT_LIST_DIR}/scenario_lines.cpp)
target_link_libraries(scenario_lines PRIVATE corvane_warnings corvane_runner)
target_include_directories(scenario_lines PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_SOURCE_DIR}/simhost
  ${CMAKE_SOURCE_DIR}/simhost/runner ${CMAKE_SOURCE_DIR}/src)
add_executable(scenario-lines ${CMAKE_CURRENT_LIST_DIR}/scenario_lines_tool.cpp)
target_link_libraries(scenario-lines PRIVATE corvane_warnings scenario_lines corvane_runner
  "$<LINK_LIBRARY:WHOLE_ARCHIVE,corvane_simhost>")
set_target_properties(scenario-lines PROPERTIES ENABLE_EXPORTS ON)
corvane_integration_test(scenario_test ${CMAKE_CURRENT_LIST_DIR}/scenario_test.cpp)
target_link_libraries(scenario_test PRIVATE scenario_lines corvane_runner)

# Each sample scenario is a test of its own expectations (its pictures land
# in the build folder).
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/scenario-pictures)
foreach(name power-up departure approach traffic)
  add_test(NAME scenario.${name}
    COMMAND corvane-sim --scenario ${CMAKE_SOURCE_DIR}/sample/scenarios/${name}.txt
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/scenario-pictures)
endforeach()
# Whole flights against the world the host keeps consistent by itself.
foreach(name climb-fl370 engines-in-flight manual-reversion flameout-n1 host-repair empty-situation-slot)
  add_test(NAME scenario.${name} COMMAND corvane-sim --scenario ${CMAKE_CURRENT_LIST_DIR}/scenarios/${name}.txt)
endforeach()
