# Runs one scenario and compares its report with the golden file beside it.
# With UPDATE=1 the golden file is rewritten instead.
execute_process(COMMAND ${DRIVER} ${SCENARIO}
                OUTPUT_VARIABLE report RESULT_VARIABLE status ERROR_QUIET)
if(NOT status EQUAL EXPECTED_STATUS)
  message(FATAL_ERROR "velmora-scenario exited with ${status}, expected ${EXPECTED_STATUS}:\n${report}")
endif()
if(UPDATE)
  file(WRITE ${GOLDEN} "${report}")
  return()
endif()
file(READ ${GOLDEN} expected)
if(NOT report STREQUAL expected)
  file(WRITE ${GOLDEN}.actual "${report}")
  message(FATAL_ERROR "report differs from ${GOLDEN}; see ${GOLDEN}.actual")
endif()
