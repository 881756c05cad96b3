# Core tests; one line per test program.
corvane_unit_test(core_util_test ${CMAKE_CURRENT_LIST_DIR}/util_test.cpp)
corvane_unit_test(core_variant_test ${CMAKE_CURRENT_LIST_DIR}/variant_test.cpp)
corvane_unit_test(core_binding_test ${CMAKE_CURRENT_LIST_DIR}/binding_test.cpp)
corvane_integration_test(core_binding_integration_test ${CMAKE_CURRENT_LIST_DIR}/binding_integration_test.cpp)
# The binding tables against the host catalogs of each host version.
corvane_unit_test(core_binding_table_test ${CMAKE_CURRENT_LIST_DIR}/binding_table_test.cpp)
target_compile_definitions(core_binding_table_test PRIVATE CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# The generated binding tables and host catalogs must be what the generator
# makes of the simulator's dataref lists, and the look-ups what the shared
# name table lists, where those tables sit beside the source tree. A
# developer's tree may lack them (the checks are skipped); CI requires them
# (scripts/test.sh --ci).
set(CORVANE_HOST_LISTS "${CMAKE_SOURCE_DIR}/../shared/data" CACHE PATH
    "Folder with bound_datarefs.tsv and host_datarefs.tsv for the generated-table check")
option(CORVANE_REQUIRE_HOST_LISTS "Fail when the shared tables are missing instead of skipping their checks" OFF)
find_package(Python3 COMPONENTS Interpreter)
if(CORVANE_REQUIRE_HOST_LISTS)
  foreach(table host_datarefs.tsv bound_datarefs.tsv)
    if(NOT EXISTS "${CORVANE_HOST_LISTS}/${table}")
      message(FATAL_ERROR "The shared-table checks are required and there is no ${CORVANE_HOST_LISTS}/${table}")
    endif()
  endforeach()
  if(NOT Python3_Interpreter_FOUND)
    message(FATAL_ERROR "The shared-table checks are required and need Python 3")
  endif()
endif()
if(Python3_Interpreter_FOUND AND EXISTS "${CORVANE_HOST_LISTS}/host_datarefs.tsv"
   AND EXISTS "${CORVANE_HOST_LISTS}/bound_datarefs.tsv")
  add_test(NAME gen_bound_check
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_bound.py --check
      ${CORVANE_HOST_LISTS}/bound_datarefs.tsv ${CORVANE_HOST_LISTS}/host_datarefs.tsv ${CMAKE_SOURCE_DIR})
endif()
target_compile_definitions(core_binding_test PRIVATE CORVANE_HOST_LISTS_DIR="${CORVANE_HOST_LISTS}"
  CORVANE_HOST_LISTS_REQUIRED=$<BOOL:${CORVANE_REQUIRE_HOST_LISTS}>)
