# Writes the default database once. An existing file is a user's register
# and is never touched.
if(EXISTS "${DB}")
  return()
endif()
set(files "${SCHEMA}" "${REPORTS}" "${SAMPLE}")
if(EDITION_SQL)
  list(APPEND files "${EDITION_SQL}")
endif()
execute_process(COMMAND "${MAKEDB}" "${DB}" ${files} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE "${DB}")
  message(FATAL_ERROR "Could not write the default database ${DB}")
endif()
