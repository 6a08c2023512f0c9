# Regenerates a file with tessel-mkaaf and fails unless it matches the committed one byte for byte.
execute_process(COMMAND ${EMULATOR} "${MKAAF}" "${DESCRIPTION}" --out "${OUTPUT}" RESULT_VARIABLE result
                ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "tessel-mkaaf failed: ${errors}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${EXPECTED}"
                RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "${OUTPUT} differs from ${EXPECTED}: the writer is no longer deterministic, "
                      "or its output changed on purpose (then regenerate the example with "
                      "tessel-mkaaf examples/edius_example.json --out examples/edius_example.aaf)")
endif()
