# Runs corvane-sim once and checks how it ended (cmake -P, from a test):
#   RUN       the program and its arguments, separated by '|'
#   ENV       NAME=VALUE put in its environment (optional)
#   STATUS    the exit status it must end with
#   ERROR     a regular expression its standard error must match (optional)
#   OUTPUT    a regular expression its standard output must match (optional)
#   OUTPUT_EACH  regular expressions separated by "@@", each of which its
#             standard output must match, a miss named by its part (optional)
#   OUT_FILE  where its standard output goes instead (optional)
#   PIPE      a program and its arguments, separated by '|', that reads its
#             standard output through a pipe (`head -1`); STATUS is still
#             corvane-sim's own (optional)
#   CLOSED    ON: its standard output is a pipe whose reader is gone before
#             it starts, so that its first write fails however soon it
#             comes (optional)
#   ABSENT    a file that must not exist afterwards (optional)
#   SAME_AS   a file whose contents OUT_FILE must have (optional)
# A root the run kept (named by --summary) is removed afterwards.
string(REPLACE "|" ";" command "${RUN}")
if(ENV)
  list(PREPEND command "${CMAKE_COMMAND}" -E env "${ENV}")
endif()
if(PIPE)
  string(REPLACE "|" ";" reader "${PIPE}")
  execute_process(COMMAND ${command} COMMAND ${reader} RESULTS_VARIABLE statuses ERROR_VARIABLE err
    OUTPUT_VARIABLE out)
  list(GET statuses 0 status)
elseif(CLOSED)
  # A pipe with no reader: a FIFO opened for reading and writing (which does
  # not wait for a reader), opened again for writing, and its first
  # descriptor closed.
  execute_process(COMMAND bash -c
    "d=$(mktemp -d) && mkfifo \"$d/p\" && exec 3<>\"$d/p\" 4>\"$d/p\" 3<&- && rm -rf \"$d\" && exec \"$@\" >&4 4>&-"
    closed-pipe ${command} RESULT_VARIABLE status ERROR_VARIABLE err)
  set(out "")
elseif(OUT_FILE)
  execute_process(COMMAND ${command} RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_FILE "${OUT_FILE}")
  set(out "")
else()
  execute_process(COMMAND ${command} RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_VARIABLE out)
endif()
if(out MATCHES "root: ([^\n]*) \\(a copy of the sample root; kept")
  file(REMOVE_RECURSE "${CMAKE_MATCH_1}")
endif()
set(problems "")
if(NOT status STREQUAL "${STATUS}")
  string(APPEND problems "exit status ${status}, expected ${STATUS}\n")
endif()
if(DEFINED ERROR AND NOT err MATCHES "${ERROR}")
  string(APPEND problems "standard error does not match \"${ERROR}\"\n")
endif()
if(DEFINED OUTPUT AND NOT out MATCHES "${OUTPUT}")
  string(APPEND problems "standard output does not match \"${OUTPUT}\"\n")
endif()
if(DEFINED OUTPUT_EACH)
  string(REPLACE "@@" ";" parts "${OUTPUT_EACH}")
  set(n 0)
  foreach(part IN LISTS parts)
    math(EXPR n "${n} + 1")
    if(NOT out MATCHES "${part}")
      string(APPEND problems "standard output lacks part ${n}: \"${part}\"\n")
    endif()
  endforeach()
endif()
if(ABSENT AND EXISTS "${ABSENT}")
  file(REMOVE_RECURSE "${ABSENT}")
  string(APPEND problems "${ABSENT} was written\n")
endif()
if(SAME_AS)
  file(READ "${OUT_FILE}" written)
  file(READ "${SAME_AS}" kept)
  if(NOT written STREQUAL kept)
    string(APPEND problems "${OUT_FILE} differs from ${SAME_AS}\n")
  endif()
endif()
if(problems)
  message(FATAL_ERROR "${problems}standard error:\n${err}\nstandard output:\n${out}")
endif()
