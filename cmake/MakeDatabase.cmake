# Writes the default database once. An existing file is a user's register
# and is never touched.
if(EXISTS "${DB}")
  return()
endif()
execute_process(COMMAND "${MAKEDB}" "${DB}" "${SCHEMA}" "${REPORTS}" "${SAMPLE}"
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE "${DB}")
  message(FATAL_ERROR "Could not write the default database ${DB}")
endif()
