# Runs prax-format with the load defaults on CASE.sql (options, when present,
# from CASE.options, one NAME=VALUE per line) and compares with CASE.expected.
set(args --no-profile)
if(EXISTS ${CASE}.options)
  file(STRINGS ${CASE}.options settings)
  foreach(s ${settings})
    list(APPEND args --option ${s})
  endforeach()
endif()
execute_process(COMMAND ${PROGRAM} ${args} ${CASE}.sql
  OUTPUT_VARIABLE actual RESULT_VARIABLE status ERROR_VARIABLE messages)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "prax-format exited with ${status}: ${messages}")
endif()
file(READ ${CASE}.expected expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "output differs from ${CASE}.expected:\n${actual}")
endif()
