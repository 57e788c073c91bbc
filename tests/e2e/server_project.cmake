# Included by the session runners when SERVER is set: starts a test server
# in a folder of its own (SERVER_DIR) and makes an empty project database
# there with veln project create (DB). The runner stops the server.
execute_process(COMMAND mktemp -u /tmp/veln-pg-e2e.XXXXXX OUTPUT_VARIABLE SERVER_DIR
                OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND "${SERVER}" start "${SERVER_DIR}" RESULT_VARIABLE started)
if(NOT started EQUAL 0)
  message(FATAL_ERROR "the test server did not start")
endif()
execute_process(COMMAND "${SERVER}" create "${SERVER_DIR}" brakes OUTPUT_VARIABLE DB
                OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND "${VELN}" project create "${DB}" OUTPUT_QUIET RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  execute_process(COMMAND "${SERVER}" stop "${SERVER_DIR}")
  message(FATAL_ERROR "veln project create ${DB} failed")
endif()
