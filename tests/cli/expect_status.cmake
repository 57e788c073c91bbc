# Runs COMMAND with ARG1 and ARG2 and fails unless it exits with STATUS and
# its error output holds MESSAGE.
execute_process(COMMAND "${COMMAND}" "${ARG1}" "${ARG2}" RESULT_VARIABLE status ERROR_VARIABLE err
                OUTPUT_VARIABLE out TIMEOUT 60)
if(NOT status STREQUAL "${STATUS}")
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}\n${out}${err}")
endif()
string(FIND "${err}" "${MESSAGE}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "the error output does not say \"${MESSAGE}\":\n${err}")
endif()
