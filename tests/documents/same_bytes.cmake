# Converts one of the project's own fixtures and compares the document with the one kept under
# tests/documents/expected, byte for byte (cmake -P, see CMakeLists.txt for the variables).
# SOURCE is an AAF file, a description for tessel-mkaaf, or "random:SEED:CLIPS:SECTOR". EMULATOR,
# when set, runs the programs (Wine for the Windows build).
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
if(SOURCE MATCHES "^random:([0-9]+):([0-9]+):([0-9]+)$")
  set(input "${WORK}/edit.aaf")
  execute_process(COMMAND ${EMULATOR} "${MKAAF}" --random ${CMAKE_MATCH_1} --clips ${CMAKE_MATCH_2}
                          --sector-size ${CMAKE_MATCH_3} --titles --out "${input}"
                  RESULT_VARIABLE made OUTPUT_QUIET)
elseif(SOURCE MATCHES "\\.json$")
  set(input "${WORK}/edit.aaf")
  execute_process(COMMAND ${EMULATOR} "${MKAAF}" "${SOURCE}" --out "${input}" RESULT_VARIABLE made OUTPUT_QUIET)
else()
  set(input "${SOURCE}")
  set(made 0)
endif()
if(NOT made EQUAL 0)
  message(FATAL_ERROR "tessel-mkaaf could not write ${SOURCE}")
endif()
separate_arguments(options UNIX_COMMAND "${OPTIONS}")
execute_process(COMMAND ${EMULATOR} "${CONVERT}" -q ${options} "${input}" "${WORK}/out.xml"
                RESULT_VARIABLE converted)
if(NOT converted EQUAL 0)
  message(FATAL_ERROR "tessel-convert failed on ${SOURCE}")
endif()
file(SHA256 "${WORK}/out.xml" written)
file(SHA256 "${EXPECTED}" expected)
if(NOT written STREQUAL expected)
  message(FATAL_ERROR "The document of ${SOURCE} ${OPTIONS} differs from ${EXPECTED} "
                      "(kept in ${WORK}/out.xml)")
endif()
