# Builds the outputs from a real project twice: through the dialogs of a
# session script, and with `veln matrix` and `veln list` from the shell on the
# project the session left. Checks the session's transcript, that both ways
# give the same sheets (read back by an independent reader), and what those
# sheets hold; then the command line's refusals.
# -DVELN=program -DDIR=this folder -DWORK=folder -DDATA=program folder
# -DPYTHON=python3 with openpyxl -DREADER=read_workbook.py
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# Dialogs shorten paths past 60 characters: play in a short folder of our own,
# so that what they show does not depend on where the build tree lies.
execute_process(COMMAND mktemp -d /tmp/veln-e2e.XXXXXX OUTPUT_VARIABLE PLAY
                OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "no folder could be made to play in")
endif()
file(REAL_PATH "${PLAY}" PLAY)
file(COPY "${DIR}/session.veln" DESTINATION "${PLAY}")

set(ENV{HOME} "${PLAY}")
set(ENV{XDG_CONFIG_HOME} "${PLAY}/config")
set(ENV{XDG_DATA_HOME} "${PLAY}/data")
set(ENV{VELN_HOME} "${DATA}")
set(ENV{LANG} "C")
unset(ENV{LC_ALL})
unset(ENV{LC_MESSAGES})

set(d "[0-9]")
set(stamp_in_names "${d}${d}${d}${d}-${d}${d}-${d}${d} ${d}${d}-${d}${d}-${d}${d}")
set(stamp_in_titles "${d}${d}${d}${d}-${d}${d}-${d}${d} ${d}${d}:${d}${d}:${d}${d}")
set(c "[0-9A-Z]")
set(element_id "ELEM${c}${c}${c}${c}${c}${c}${c}${c}")

# What differs from one build to the next of the same outputs: the time.
function(timeless text result)
  string(REGEX REPLACE "${stamp_in_names}" "<time>" text "${text}")
  string(REGEX REPLACE "${stamp_in_titles}" "<time>" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

# What differs from run to run: the folder, the time, the ids drawn at random
# (each named by its order of first appearance).
function(steady text result)
  string(REPLACE "${PLAY}" "<work>" text "${text}")
  timeless("${text}" text)
  string(REGEX REPLACE "text: \"${c}${c}${c}${c}${c}${c}${c}${c}\"" "text: \"<document id>\""
         text "${text}")
  string(REGEX MATCHALL "${element_id}" ids "${text}")
  list(REMOVE_DUPLICATES ids)
  set(count 0)
  foreach(id IN LISTS ids)
    math(EXPR count "${count} + 1")
    string(REPLACE "${id}" "<elem ${count}>" text "${text}")
  endforeach()
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

function(same_as expected_file actual what)
  file(WRITE "${WORK}/${what}" "${actual}")
  file(READ "${DIR}/${expected_file}" expected)
  if(NOT actual STREQUAL expected)
    execute_process(COMMAND diff -u "${DIR}/${expected_file}" "${WORK}/${what}"
                    OUTPUT_VARIABLE difference)
    message(FATAL_ERROR "${what} differs from ${expected_file}:\n${difference}")
  endif()
endfunction()

function(read_back file result)
  execute_process(COMMAND "${PYTHON}" "${READER}" "${file}" OUTPUT_VARIABLE dump
                  ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "openpyxl cannot read ${file}:\n${err}")
  endif()
  set(${result} "${dump}" PARENT_SCOPE)
endfunction()

function(run_veln expected_status)
  execute_process(COMMAND "${VELN}" ${ARGN} WORKING_DIRECTORY "${PLAY}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status TIMEOUT 120)
  if(NOT status STREQUAL "${expected_status}")
    message(FATAL_ERROR "veln ${ARGN}: exit ${status}, expected ${expected_status}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

# 1. The session, through the dialogs.
run_veln(0 script session.veln)
steady("${out}-- exit 0\n${err}" transcript)
same_as(session.expected "${transcript}" session.actual)

file(GLOB matrices "${PLAY}/plan.docx-tests.docx *.xlsx")
file(GLOB lists "${PLAY}/plan.docx ${d}*.xlsx")
list(LENGTH matrices matrix_count)
list(LENGTH lists list_count)
if(NOT matrix_count EQUAL 1 OR NOT list_count EQUAL 1)
  message(FATAL_ERROR "the session should leave one matrix and one list: ${matrices} ${lists}")
endif()

# 2. The same outputs from the shell, the documents named by their paths.
run_veln(0 matrix Brakes.mdb "${PLAY}/plan.docx" "${PLAY}/tests.docx" --wrap -o batch-matrix.xlsx)
run_veln(0 list Brakes.mdb "${PLAY}/plan.docx" --no-hyperlinks -o batch-list.xlsx)

# 3. The same sheets, and what they hold.
read_back("${matrices}" dialog_matrix)
read_back("${PLAY}/batch-matrix.xlsx" batch_matrix)
read_back("${lists}" dialog_list)
read_back("${PLAY}/batch-list.xlsx" batch_list)
foreach(dump dialog_matrix batch_matrix dialog_list batch_list)
  timeless("${${dump}}" ${dump})
endforeach()
if(NOT dialog_matrix STREQUAL batch_matrix)
  message(FATAL_ERROR "veln matrix and the dialog differ:\n${dialog_matrix}\n--\n${batch_matrix}")
endif()
if(NOT dialog_list STREQUAL batch_list)
  message(FATAL_ERROR "veln list and the dialog differ:\n${dialog_list}\n--\n${batch_list}")
endif()
steady("${dialog_matrix}" dialog_matrix)
steady("${dialog_list}" dialog_list)
same_as(matrix.expected "${dialog_matrix}" matrix.actual)
same_as(list.expected "${dialog_list}" list.actual)

# 4. Refusals from the shell: a message naming what is wrong, status 1.
run_veln(1 matrix Brakes.mdb "${PLAY}/plan.docx" DOCNONE1 -o refused.xlsx)
string(FIND "${err}" "no document of the project Brakes.mdb is \"DOCNONE1\"" found)
run_veln(1 list session.veln "${PLAY}/plan.docx" -o refused.xlsx)
string(FIND "${err}" "session.veln is not a database" found_db)
run_veln(1 list Brakes.mdb "${PLAY}/plan.docx" -o missing/refused.xlsx)
string(FIND "${err}" "cannot write a file in missing" found_output)
if(found EQUAL -1 OR found_db EQUAL -1 OR found_output EQUAL -1 OR EXISTS "${PLAY}/refused.xlsx")
  message(FATAL_ERROR "the refusals do not say what is wrong, or wrote a file")
endif()
run_veln(0 matrix --help)

file(COPY "${PLAY}/" DESTINATION "${WORK}")
file(REMOVE_RECURSE "${PLAY}")
