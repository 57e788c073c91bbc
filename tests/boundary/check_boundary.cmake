# Builds each probe of tests/boundary: those that reach a library of the host
# layer must fail on a poisoned identifier, the clean one must build.
# -DBUILD=build tree -DPROBES=the probes built, "nothing" the clean one
list(REMOVE_ITEM PROBES nothing)
foreach(probe ${PROBES})
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target veln_reaches_${probe}
                  OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE status)
  if(status EQUAL 0)
    message(FATAL_ERROR "a file above the host layer built with ${probe}")
  endif()
  if(NOT out MATCHES "poisoned")
    message(FATAL_ERROR "veln_reaches_${probe} failed, but not on a poisoned identifier:\n${out}")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target veln_reaches_nothing
                OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the host's own headers do not build above it:\n${out}")
endif()
