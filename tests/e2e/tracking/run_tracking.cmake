# Suspect links and coverage over a real project: sessions make it, link it,
# renumber it and edit a linked passage; between them the command line lists
# suspect links, reviews them and gates on coverage. The transcript of it all
# must match tracking.expected; the JUnit file is read by Python's XML parser.
# -DVELN=program -DDIR=this folder -DFIXTURES=folder -DWORK=folder
# -DDATA=program folder -DPYTHON=python3 with openpyxl -DREADER=read_workbook.py [-DHOST=--office: the sessions in Writer]
# [-DSERVER=veln_test_postgres_server: the project on a PostgreSQL server, the
# same transcript]
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND mktemp -d /tmp/veln-e2e.XXXXXX OUTPUT_VARIABLE PLAY
                OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "no folder could be made to play in")
endif()
file(REAL_PATH "${PLAY}" PLAY)
file(GLOB scripts "${DIR}/*.veln")
file(COPY ${scripts} "${FIXTURES}" DESTINATION "${PLAY}")

# The project database: the file the sessions make, or a server's database
# made by veln project create, which the sessions then choose instead.
set(DB "Brakes.mdb")
if(SERVER)
  include("${CMAKE_CURRENT_LIST_DIR}/../server_project.cmake")
  foreach(script IN LISTS scripts)
    get_filename_component(name "${script}" NAME)
    file(READ "${PLAY}/${name}" text)
    string(REPLACE "answer open Brakes.mdb" "answer open ${DB}" text "${text}")
    file(WRITE "${PLAY}/${name}" "${text}")
  endforeach()
endif()

set(ENV{HOME} "${PLAY}")
set(ENV{XDG_CONFIG_HOME} "${PLAY}/config")
set(ENV{XDG_DATA_HOME} "${PLAY}/data")
set(ENV{VELN_HOME} "${DATA}")
set(ENV{USER} "tester")
set(ENV{LANG} "C")
unset(ENV{LC_ALL})
unset(ENV{LC_MESSAGES})

set(transcript "")
function(step)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${PLAY}" OUTPUT_VARIABLE out
                  ERROR_VARIABLE err RESULT_VARIABLE status TIMEOUT 120)
  list(JOIN ARGN " " line)
  string(REPLACE "${VELN}" "veln" line "${line}")
  string(REPLACE "script --office" "script" line "${line}")
  string(REPLACE "${PYTHON} ${DIR}/" "" line "${line}")
  string(REPLACE "${PYTHON} ${READER}" "read_workbook.py" line "${line}")
  string(REPLACE "${DB}" "Brakes.mdb" line "${line}")
  # A server's name where the file's path would show.
  set(said "${out}${err}")
  if(SERVER)
    string(REPLACE "-> \"${DB}\"" "-> \"${PLAY}/Brakes.mdb\"" said "${said}")
    string(REPLACE "${DB}" "Brakes.mdb" said "${said}")
  endif()
  set(transcript "${transcript}$ ${line}\n${said}-- exit ${status}\n" PARENT_SCOPE)
endfunction()

step("${VELN}" script ${HOST} linked.veln)
step("${VELN}" suspect "${DB}" --check)
step("${VELN}" script ${HOST} renumbered.veln)
step("${VELN}" suspect "${DB}" --check)
step("${VELN}" script ${HOST} edited.veln)
step("${VELN}" suspect "${DB}" "${PLAY}/design.docx" --check)
# The coverage dialog's workbook, named after the documents and the time.
file(GLOB coverage_workbooks RELATIVE "${PLAY}" "${PLAY}/Coverage *.xlsx")
foreach(workbook IN LISTS coverage_workbooks)
  step("${PYTHON}" "${READER}" "${workbook}")
endforeach()
step("${VELN}" matrix "${DB}" "${PLAY}/requirements.docx" "${PLAY}/design.docx" -o matrix.xlsx
     --no-hyperlinks)
step("${PYTHON}" "${READER}" matrix.xlsx)
step("${VELN}" coverage "${DB}" "${PLAY}/requirements.docx" "${PLAY}/design.docx"
     --min 100 --junit coverage.xml)
step("${PYTHON}" "${DIR}/check_junit.py" coverage.xml)
step("${VELN}" coverage "${DB}" "${PLAY}/requirements.docx" "${PLAY}/design.docx" --json)
step("${VELN}" review "${DB}" 999)
step("${VELN}" script ${HOST} reviewed.veln)
step("${VELN}" review "${DB}" --all)
step("${VELN}" suspect "${DB}" --check)
step("${VELN}" script ${HOST} covered.veln)
step("${VELN}" coverage "${DB}" "${PLAY}/requirements.docx" "${PLAY}/design.docx"
     --min 100 --no-suspect)
step("${VELN}" coverage "${DB}" "${PLAY}/requirements.docx" "${PLAY}/design.docx"
     --junit "${DB}")

# The server's project copied back to a file gives the same matrix.
if(SERVER)
  execute_process(COMMAND "${VELN}" project copy "${DB}" "${PLAY}/copy.mdb" OUTPUT_QUIET
                  RESULT_VARIABLE copied)
  set(written 0)
  foreach(side server copy)
    set(project "${DB}")
    if(side STREQUAL "copy")
      set(project "${PLAY}/copy.mdb")
    endif()
    execute_process(COMMAND "${VELN}" matrix "${project}" "${PLAY}/requirements.docx"
                            "${PLAY}/design.docx" -o "${PLAY}/last-matrix.xlsx" --no-hyperlinks
                    RESULT_VARIABLE status)
    math(EXPR written "${written} + ${status}")
    execute_process(COMMAND "${PYTHON}" "${READER}" "${PLAY}/last-matrix.xlsx" OUTPUT_VARIABLE read)
    file(REMOVE "${PLAY}/last-matrix.xlsx")
    # Its title's time is the moment it was written.
    string(REGEX REPLACE "[0-9-]+ [0-9:]+\t" "<time>\t" from_${side} "${read}")
  endforeach()
  if(NOT copied EQUAL 0 OR NOT written EQUAL 0 OR NOT from_server STREQUAL from_copy
     OR from_server STREQUAL "")
    execute_process(COMMAND "${SERVER}" stop "${SERVER_DIR}")
    message(FATAL_ERROR "the project copied back to a file does not give the server's matrix "
                        "(copy ${copied}, matrix ${written}):\n${from_server}\n${from_copy}")
  endif()
endif()

# What differs from run to run: the folder, the time, the ids drawn at random.
string(REPLACE "${PLAY}" "<work>" transcript "${transcript}")
set(d "[0-9]")
string(REGEX REPLACE "${d}${d}${d}${d}-${d}${d}-${d}${d}[ T]${d}${d}[:-]${d}${d}[:-]${d}${d}" "<time>"
       transcript "${transcript}")
set(c "[0-9A-Z]")
string(REGEX MATCHALL "ELEM${c}${c}${c}${c}${c}${c}${c}${c}" ids "${transcript}")
list(REMOVE_DUPLICATES ids)
set(count 0)
foreach(id IN LISTS ids)
  math(EXPR count "${count} + 1")
  string(REPLACE "${id}" "<elem ${count}>" transcript "${transcript}")
endforeach()
string(REGEX REPLACE "result \"${c}${c}${c}${c}${c}${c}${c}${c}\"" "result \"<document id>\""
       transcript "${transcript}")
string(REGEX REPLACE "- ${c}${c}${c}${c}${c}${c}${c}${c} \"" "- <document id> \"" transcript
       "${transcript}")
string(REGEX REPLACE "text: \"${c}${c}${c}${c}${c}${c}${c}${c}\"" "text: \"<document id>\""
       transcript "${transcript}")

file(WRITE "${WORK}/actual" "${transcript}")
file(REMOVE_RECURSE "${PLAY}")
if(SERVER)
  execute_process(COMMAND "${SERVER}" stop "${SERVER_DIR}")
endif()
if(NOT EXISTS "${DIR}/tracking.expected")
  message(FATAL_ERROR "no tracking.expected: the transcript is in ${WORK}/actual")
endif()
file(READ "${DIR}/tracking.expected" expected)
if(NOT transcript STREQUAL expected)
  execute_process(COMMAND diff -u "${DIR}/tracking.expected" "${WORK}/actual"
                  OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "the transcript differs from tracking.expected:\n${difference}")
endif()
