# Plays one session script in a fresh folder and compares what it printed,
# its exit status and its error message with the expected transcript.
# -DVELN=program -DSCRIPT=file.veln -DEXPECTED=file.expected -DWORK=folder -DDATA=program folder
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
get_filename_component(name "${SCRIPT}" NAME)
file(COPY "${SCRIPT}" DESTINATION "${WORK}")

# A user of our own: English, settings and data inside the work folder.
set(ENV{HOME} "${WORK}")
set(ENV{XDG_CONFIG_HOME} "${WORK}/config")
set(ENV{XDG_DATA_HOME} "${WORK}/data")
set(ENV{VELN_HOME} "${DATA}")
set(ENV{LANG} "C")
unset(ENV{LC_ALL})
unset(ENV{LC_MESSAGES})

execute_process(COMMAND "${VELN}" script "${name}"
                WORKING_DIRECTORY "${WORK}"
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status
                TIMEOUT 120)
set(actual "${out}-- exit ${status}\n${err}")
# The work folder's own path differs from run to run.
string(REPLACE "${WORK}" "<work>" actual "${actual}")
file(WRITE "${WORK}/actual" "${actual}")
file(READ "${EXPECTED}" expected)
if(NOT actual STREQUAL expected)
  execute_process(COMMAND diff -u "${EXPECTED}" "${WORK}/actual" OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "${name}: the transcript differs from ${EXPECTED}:\n${difference}")
endif()
