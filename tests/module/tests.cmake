# The module's load-time promises. scripts/check-module.sh refuses a module
# importing a host function newer than the oldest supported host has, or a C
# library symbol newer than the oldest supported system has.
add_library(module_check_bad_module MODULE ${CMAKE_CURRENT_LIST_DIR}/bad_module.cpp)
target_link_options(module_check_bad_module PRIVATE
  -Wl,--version-script=${CMAKE_SOURCE_DIR}/src/module/exports.map)
add_test(NAME ModuleCheck.RefusesANewerHostFunctionAndCLibrarySymbol
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_module_refuses.sh ${CMAKE_SOURCE_DIR}/scripts/check-module.sh
          $<TARGET_FILE:module_check_bad_module>)

# The runtime linked the way the shipped module links it still works: an
# exception unwinds inside it, random numbers come from the kernel, a file is sized.
add_library(module_runtime_probe MODULE ${CMAKE_CURRENT_LIST_DIR}/runtime_probe.cpp)
target_link_libraries(module_runtime_probe PRIVATE corvane_warnings)
# Like the shipped module, it keeps its runtime to itself (no symbol of it
# interposed by the host's own runtime).
target_link_options(module_runtime_probe PRIVATE -Wl,--version-script=${CMAKE_CURRENT_LIST_DIR}/runtime_probe.map)
corvane_static_runtime(module_runtime_probe)
add_executable(module_runtime_test ${CMAKE_CURRENT_LIST_DIR}/runtime_test.cpp)
target_link_libraries(module_runtime_test PRIVATE corvane_warnings GTest::gtest GTest::gtest_main ${CMAKE_DL_LIBS})
gtest_discover_tests(module_runtime_test DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${CORVANE_TEST_TIMEOUT})
target_compile_definitions(module_runtime_test PRIVATE
  CORVANE_RUNTIME_PROBE_PATH="$<TARGET_FILE:module_runtime_probe>")
add_dependencies(module_runtime_test module_runtime_probe)
