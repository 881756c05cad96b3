# The Windows host's XPLM_64.dll and its executables' exports, both made from
# the module's import definition, so that they follow it when it changes.
set(simhost_xplm_def ${CMAKE_SOURCE_DIR}/src/module/XPLM_64.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${simhost_xplm_def})
file(STRINGS ${simhost_xplm_def} simhost_def_lines)
set(simhost_exports_inc "")
set(simhost_exe_def "EXPORTS\n")
set(simhost_index 0)
foreach(line IN LISTS simhost_def_lines)
  string(STRIP "${line}" line)
  if(line STREQUAL "" OR line MATCHES "^(LIBRARY|EXPORTS|;)")
    continue()
  endif()
  string(REGEX REPLACE "[ \t@=].*$" "" name "${line}")
  string(APPEND simhost_exports_inc "SIMHOST_XPLM_EXPORT(${simhost_index}, ${name})\n")
  string(APPEND simhost_exe_def "    ${name}\n")
  math(EXPR simhost_index "${simhost_index} + 1")
endforeach()
set(simhost_gen ${CMAKE_CURRENT_BINARY_DIR}/generated)
file(CONFIGURE OUTPUT ${simhost_gen}/xplm_exports.inc CONTENT "${simhost_exports_inc}")
file(CONFIGURE OUTPUT ${simhost_gen}/host_exports.def CONTENT "${simhost_exe_def}")

add_library(simhost_xplm SHARED ${CMAKE_CURRENT_SOURCE_DIR}/xplm_dll.cpp ${simhost_xplm_def})
target_include_directories(simhost_xplm PRIVATE ${simhost_gen})
target_link_libraries(simhost_xplm PRIVATE corvane_warnings)
target_link_options(simhost_xplm PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(simhost_xplm PROPERTIES
  OUTPUT_NAME XPLM_64
  PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
  LINK_DEPENDS ${simhost_gen}/host_exports.def)

# A host executable: exports the host functions for XPLM_64.dll to find, and
# carries its C++ runtime inside, so only system DLLs and XPLM_64.dll remain.
function(simhost_windows_executable target)
  target_link_options(${target} PRIVATE ${simhost_gen}/host_exports.def -static -static-libgcc -static-libstdc++)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${simhost_gen}/host_exports.def)
  add_dependencies(${target} simhost_xplm)
endfunction()
