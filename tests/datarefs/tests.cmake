corvane_integration_test(published_census_integration_test ${CMAKE_CURRENT_LIST_DIR}/published_census_integration_test.cpp)
# The generated registration tables, backing globals and census against the
# shared table of published datarefs (see gen_bound_check).
if(Python3_Interpreter_FOUND AND EXISTS "${CORVANE_HOST_LISTS}/published_datarefs.tsv")
  add_test(NAME gen_published_check
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_published.py --check
      ${CORVANE_HOST_LISTS}/published_datarefs.tsv ${CMAKE_SOURCE_DIR})
endif()
# The reference of every published dataref and command (docs/reference/) must
# be what tools/gen_reference.py makes of the registration tables, and those
# tables what the loaded module registers: a dataref or command added without
# regenerating the reference fails here. What each command moves is found by
# pressing it (command-moves, whose table tools/command_moves.tsv must be
# current too: regenerate with tools/gen_reference.py --moves build/command-moves).
add_executable(command-moves ${CMAKE_CURRENT_LIST_DIR}/command_moves.cpp)
target_link_libraries(command-moves PRIVATE corvane_warnings corvane_runner
  "$<LINK_LIBRARY:WHOLE_ARCHIVE,corvane_simhost>")
target_compile_definitions(command-moves PRIVATE
  CORVANE_MODULE_PATH="$<TARGET_FILE:corvane_module>"
  CORVANE_CATALOG_DIR="${CMAKE_SOURCE_DIR}/simhost/catalog/")
add_dependencies(command-moves corvane_module)
set_target_properties(command-moves PROPERTIES ENABLE_EXPORTS ON RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
find_package(Python3 COMPONENTS Interpreter)
# The reference is the same whatever the build: the normal build checks it;
# under the sanitizers pressing every command in two cockpits runs for an hour.
if(Python3_Interpreter_FOUND AND NOT CORVANE_SANITIZE)
  add_test(NAME reference_docs_check
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_reference.py --check
      --sim $<TARGET_FILE:corvane-sim> --moves $<TARGET_FILE:command-moves> ${CMAKE_SOURCE_DIR})
  # The longest single test: started first (ctest runs the costliest first
  # when it has no times of its own yet), so that the suite does not wait
  # for it at its end.
  set_tests_properties(reference_docs_check PROPERTIES COST 10000)
elseif(NOT Python3_Interpreter_FOUND)
  message(WARNING "Python 3 not found: the dataref and command reference is not checked")
endif()
