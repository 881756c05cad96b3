# Command table and registration. The plug-in's command calls pass through a
# recorder in the test (linker wraps) on their way to the simulated host.
corvane_unit_test(commands_unit_test
  ${CMAKE_CURRENT_LIST_DIR}/command_table_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registration_test.cpp)
foreach(fn XPLMFindCommand XPLMCreateCommand XPLMRegisterCommandHandler XPLMUnregisterCommandHandler
           XPLMCommandOnce XPLMCommandBegin XPLMCommandEnd)
  target_link_options(commands_unit_test PRIVATE "LINKER:--wrap=${fn}")
endforeach()

# The same through the built module, loaded by the simulated host.
corvane_integration_test(commands_integration_test ${CMAKE_CURRENT_LIST_DIR}/commands_integration_test.cpp)
