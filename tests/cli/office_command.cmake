# veln office as a user meets it, with a stand-in for Writer that writes down
# the files it was given: without a display it says what to use instead; it
# installs VELN's extension into the user's own LibreOffice profile (a real
# unopkg), replaces another version rather than installing beside it, leaves
# the same version alone, and starts Writer on the files each time.
# -DVELN=program -DDATA=program folder -DOFFICE=LibreOffice's program folder
# -DVERSION=VELN's version -DWORK=folder
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/home")
file(WRITE "${WORK}/writer.sh" "#!/bin/sh\nprintf '[%s]' \"$@\" >> '${WORK}/started.txt'\necho >> '${WORK}/started.txt'\n")
file(CHMOD "${WORK}/writer.sh" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# unopkg refuses to install into root's profile: as root, the user is nobody.
set(as_user "")
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
if(uid STREQUAL "0")
  execute_process(COMMAND chown -R nobody: "${WORK}")
  set(as_user runuser -u nobody --)
endif()
set(user env -i "HOME=${WORK}/home" PATH=/usr/bin:/bin "VELN_HOME=${DATA}"
         "VELN_OFFICE=${WORK}/writer.sh")

function(fail what)
  message(FATAL_ERROR "veln office: ${what}\n-- out:\n${out}\n-- err:\n${err}")
endfunction()
function(office)
  execute_process(COMMAND ${as_user} ${user} ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err
                  RESULT_VARIABLE status TIMEOUT 180)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
  set(status "${status}" PARENT_SCOPE)
endfunction()
# The versions of VELN's extension the user's profile holds, one a line.
function(installed_versions)
  office("${OFFICE}/unopkg" list)
  string(REGEX MATCHALL "Identifier: org\\.veln\\.office[^\n]*\n[ ]*Version: [^\n]*" found "${out}")
  string(REGEX REPLACE "Identifier: org\\.veln\\.office[^\n]*\n[ ]*Version: " "" found "${found}")
  set(versions "${found}" PARENT_SCOPE)
endfunction()

office("${VELN}" office plan.docx)
if(NOT status EQUAL 1 OR NOT err MATCHES "no display" OR NOT err MATCHES "veln script --office")
  fail("without a display it must say so and point to veln script --office (status ${status})")
endif()
list(APPEND user DISPLAY=:99)

# An older VELN in the profile: the same package with another version.
file(ARCHIVE_EXTRACT INPUT "${DATA}/veln.oxt" DESTINATION "${WORK}/old")
file(READ "${WORK}/old/description.xml" description)
string(REPLACE "value=\"${VERSION}\"" "value=\"0.9.0\"" description "${description}")
file(WRITE "${WORK}/old/description.xml" "${description}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${WORK}/old.oxt" --format=zip .
                WORKING_DIRECTORY "${WORK}/old")
if(uid STREQUAL "0")
  execute_process(COMMAND chown -R nobody: "${WORK}")
endif()
office("${OFFICE}/unopkg" add --suppress-license "${WORK}/old.oxt")
installed_versions()
if(NOT versions STREQUAL "0.9.0")
  fail("the older package did not install (${versions})")
endif()

office("${VELN}" office "my plan.docx" design.docx)
if(NOT status EQUAL 0 OR NOT out STREQUAL "VELN 0.9.0 replaced by VELN ${VERSION} in LibreOffice\n")
  fail("the older VELN must be replaced (status ${status})")
endif()
installed_versions()
if(NOT versions STREQUAL "${VERSION}")
  fail("one VELN of version ${VERSION} must be installed, not: ${versions}")
endif()

office("${VELN}" office)
if(NOT status EQUAL 0 OR NOT out STREQUAL "")
  fail("the same version must be left alone (status ${status})")
endif()

office("${OFFICE}/unopkg" remove org.veln.office)
office("${VELN}" office notes.docx)
if(NOT status EQUAL 0 OR NOT out STREQUAL "VELN ${VERSION} installed in LibreOffice\n")
  fail("a missing VELN must be installed (status ${status})")
endif()

file(READ "${WORK}/started.txt" started)
if(NOT started STREQUAL "[--writer][my plan.docx][design.docx]\n[--writer]\n[--writer][notes.docx]\n")
  fail("Writer must start on the files each time, each file one argument:\n${started}")
endif()
