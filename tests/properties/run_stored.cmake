# Plays a session script as the end-to-end tests do, then reads what it
# stored in the project database with the sqlite3 shell, and compares that
# with the .stored file beside the script.
# -DVELN -DSCRIPT -DEXPECTED -DWORK -DDATA as for run_e2e.cmake, and
# -DSQLITE3=program -DDATABASE=file in WORK -DQUERIES=file.sql -DSTORED=file.stored
include(${CMAKE_CURRENT_LIST_DIR}/../e2e/run_e2e.cmake)

execute_process(COMMAND "${SQLITE3}" -batch -readonly "${WORK}/${DATABASE}"
                INPUT_FILE "${QUERIES}"
                OUTPUT_VARIABLE stored ERROR_VARIABLE error RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "sqlite3 could not read ${DATABASE}: ${error}")
endif()
file(WRITE "${WORK}/stored" "${stored}")
file(READ "${STORED}" expected)
if(NOT stored STREQUAL expected)
  execute_process(COMMAND diff -u "${STORED}" "${WORK}/stored" OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "${DATABASE} does not hold what ${STORED} says:\n${difference}")
endif()
