# Core tests; one line per test program.
corvane_unit_test(core_util_test ${CMAKE_CURRENT_LIST_DIR}/util_test.cpp)
corvane_unit_test(core_variant_test ${CMAKE_CURRENT_LIST_DIR}/variant_test.cpp)
corvane_unit_test(core_binding_test ${CMAKE_CURRENT_LIST_DIR}/binding_test.cpp)
corvane_integration_test(core_binding_integration_test ${CMAKE_CURRENT_LIST_DIR}/binding_integration_test.cpp)
# The binding tables against the host catalogs of each host version.
corvane_unit_test(core_binding_table_test ${CMAKE_CURRENT_LIST_DIR}/binding_table_test.cpp)
target_compile_definitions(core_binding_table_test PRIVATE CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# Every generated table must be what its generator makes of the shared table
# it comes from (gen_bound_check here, gen_commands_check and
# gen_published_check beside their tests), and the look-ups what the shared
# name table lists, where those tables sit beside the source tree: a row
# added to a shared table, or a generated file edited by hand, fails. A
# developer's tree may lack them (the checks are skipped); CI requires them
# (scripts/test.sh --ci).
set(CORVANE_HOST_LISTS "${CMAKE_SOURCE_DIR}/../shared/data" CACHE PATH
    "Folder with the shared dataref and command tables for the generated-table checks")
option(CORVANE_REQUIRE_HOST_LISTS "Fail when the shared tables are missing instead of skipping their checks" OFF)
set(corvane_shared_tables host_datarefs.tsv bound_datarefs.tsv published_datarefs.tsv
    commands.tsv host_commands.tsv own_commands_issued.tsv)
find_package(Python3 COMPONENTS Interpreter)
if(CORVANE_REQUIRE_HOST_LISTS)
  foreach(table ${corvane_shared_tables})
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
# The seq rule all three generators share (tools/table_seq.py): a row
# inserted with a fresh number passes, a number given twice fails.
if(Python3_Interpreter_FOUND)
  add_test(NAME table_seq_self_test COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/table_seq.py --self-test)
  # Each failure entry the code reads has one name, in one row, read by name.
  add_test(NAME gen_failure_entries_check
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_failure_entries.py --check ${CMAKE_SOURCE_DIR})
  add_test(NAME gen_failure_entries_self_test
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_failure_entries.py --self-test ${CMAKE_SOURCE_DIR})
endif()
target_compile_definitions(core_binding_test PRIVATE CORVANE_HOST_LISTS_DIR="${CORVANE_HOST_LISTS}"
  CORVANE_HOST_LISTS_REQUIRED=$<BOOL:${CORVANE_REQUIRE_HOST_LISTS}>)
