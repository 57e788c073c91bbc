# Plays one session script in a fresh folder and compares what it printed,
# its exit status and its error message with the expected transcript. A
# NAME.check.cmake beside the script, when there is one, then looks at the
# files the session left (PLAY is their folder) and sets check_error.
# -DVELN=program -DSCRIPT=file.veln -DEXPECTED=file.expected -DWORK=folder -DDATA=program folder
# [-DHOST=--office: played in LibreOffice Writer]
# [-DSERVER=veln_test_postgres_server: the project on a PostgreSQL server,
# which the script chooses instead of Brakes.mdb; the same transcript]
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
get_filename_component(name "${SCRIPT}" NAME)

# Dialogs show paths longer than 60 characters shortened: the session plays
# in a short folder of its own, so what they show does not depend on where
# the build tree lies. What it leaves is copied to WORK for a look.
execute_process(COMMAND mktemp -d /tmp/veln-e2e.XXXXXX OUTPUT_VARIABLE PLAY
                OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "${name}: no folder could be made to play in")
endif()
file(REAL_PATH "${PLAY}" PLAY)
file(COPY "${SCRIPT}" DESTINATION "${PLAY}")
# The set-ups the scripts share, which they include from fixtures/.
file(COPY "${CMAKE_CURRENT_LIST_DIR}/fixtures" DESTINATION "${PLAY}")

# The project on a server: made by veln project create, chosen and queried
# by the script where it names the file.
if(SERVER)
  include("${CMAKE_CURRENT_LIST_DIR}/server_project.cmake")
  file(READ "${PLAY}/${name}" text)
  string(REPLACE "answer open Brakes.mdb" "answer open ${DB}" text "${text}")
  string(REPLACE " sql Brakes.mdb " " sql ${DB} " text "${text}")
  string(REPLACE "dbGetDocumentName Brakes.mdb" "dbGetDocumentName ${DB}" text "${text}")
  file(WRITE "${PLAY}/${name}" "${text}")
endif()

# A user of our own: English, settings and data inside the play folder.
set(ENV{HOME} "${PLAY}")
set(ENV{XDG_CONFIG_HOME} "${PLAY}/config")
set(ENV{XDG_DATA_HOME} "${PLAY}/data")
set(ENV{VELN_HOME} "${DATA}")
set(ENV{LANG} "C")
unset(ENV{LC_ALL})
unset(ENV{LC_MESSAGES})

execute_process(COMMAND "${VELN}" script ${HOST} "${name}"
                WORKING_DIRECTORY "${PLAY}"
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status
                TIMEOUT 120)
set(actual "${out}-- exit ${status}\n${err}")
if(SERVER)
  execute_process(COMMAND "${SERVER}" stop "${SERVER_DIR}")
  # The server's name where the file's path would show.
  string(REPLACE "\"${DB}\"" "\"${PLAY}/Brakes.mdb\"" actual "${actual}")
  string(REPLACE "${DB}" "Brakes.mdb" actual "${actual}")
endif()
# The play folder's own path differs from run to run.
string(REPLACE "${PLAY}" "<work>" actual "${actual}")
# So do the ids drawn at random: each element id, and each 8-character id a
# result shows, stands as a name numbered in order of first appearance.
set(char "[0-9A-Z]")
set(id "${char}${char}${char}${char}${char}${char}${char}${char}")
function(name_each drawn label)
  list(REMOVE_DUPLICATES drawn)
  set(count 0)
  foreach(one IN LISTS drawn)
    math(EXPR count "${count} + 1")
    string(REPLACE "${one}" "<${label} ${count}>" actual "${actual}")
  endforeach()
  set(actual "${actual}" PARENT_SCOPE)
endfunction()
string(REGEX MATCHALL "ELEM${id}" elements "${actual}")
name_each("${elements}" elem)
string(REGEX MATCHALL "result \"${id}\"" results "${actual}")
list(TRANSFORM results REPLACE "result \"(.*)\"" "\\1")
name_each("${results}" id)

string(REGEX REPLACE "\\.veln$" ".check.cmake" check "${SCRIPT}")
set(check_error "")
if(EXISTS "${check}" AND status EQUAL 0)
  include("${check}")
endif()
file(COPY "${PLAY}/" DESTINATION "${WORK}")
file(REMOVE_RECURSE "${PLAY}")

file(WRITE "${WORK}/actual" "${actual}")
file(READ "${EXPECTED}" expected)
if(NOT actual STREQUAL expected)
  execute_process(COMMAND diff -u "${EXPECTED}" "${WORK}/actual" OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "${name}: the transcript differs from ${EXPECTED}:\n${difference}")
endif()
if(check_error)
  message(FATAL_ERROR "${name}: ${check_error}")
endif()
