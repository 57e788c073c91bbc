# LibreOffice opens the saved export: every entry a link that leads to the
# bookmark of its element in the right document, the levels in tab columns.
# Run by run_e2e.cmake with PLAY, the folder the session left its files in;
# sets check_error when what LibreOffice reads is not what is expected.
set(converted "${PLAY}/converted")
execute_process(
  COMMAND soffice "-env:UserInstallation=file://${PLAY}/profile" --headless --norestore
          --convert-to fodt --outdir "${converted}"
          "${PLAY}/tree.docx" "${PLAY}/requirements.docx" "${PLAY}/design.docx"
  RESULT_VARIABLE converted_status OUTPUT_VARIABLE soffice_log ERROR_VARIABLE soffice_log
  TIMEOUT 600)
file(REMOVE_RECURSE "${PLAY}/profile")

# The paragraphs of a flat OpenDocument text, one a line, as a reader sees
# them: tabs as <tab>, links as [text](address), other markup dropped.
function(read_paragraphs fodt result)
  file(STRINGS "${fodt}" lines REGEX "<text:[ph][ >/]")
  set(paragraphs "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]+" "" line "${line}")
    string(REGEX REPLACE "<text:tab/>" "<tab>" line "${line}")
    # A link's text may stand in a span of its character style.
    string(REGEX REPLACE "<text:a [^>]*xlink:href=\"([^\"]*)\"[^>]*>(<text:span [^>]*>)?([^<]*)(</text:span>)?</text:a>"
                         "[\\3](\\1)" line "${line}")
    string(REGEX REPLACE "<[^t/][^>]*>|</[^>]*>|<text:[^>]*>" "" line "${line}")
    list(APPEND paragraphs "${line}")
  endforeach()
  set(${result} "${paragraphs}" PARENT_SCOPE)
endfunction()

# An address as the document it leads to and what its bookmark holds: the
# paragraph where the bookmark starts, in the converted target document. A
# bookmark over whole paragraphs that Writer saved comes back to it as a
# point at their start (the .docx holds two halves): the link still leads
# to the element.
function(describe_address address result)
  string(REGEX MATCH "^([^#]*)#(.*)$" parts "${address}")
  set(path "${CMAKE_MATCH_1}")
  set(bookmark "${CMAKE_MATCH_2}")
  string(REGEX REPLACE "^file://" "" path "${path}")
  get_filename_component(path "${path}" ABSOLUTE BASE_DIR "${converted}")
  get_filename_component(target "${path}" NAME_WE)
  set(found "<no bookmark ${bookmark} in ${path}>")
  if(EXISTS "${converted}/${target}.fodt")
    file(STRINGS "${converted}/${target}.fodt" lines
         REGEX "<text:bookmark(-start)? text:name=\"${bookmark}\"/>")
    if(lines)
      list(GET lines 0 line)
      string(REGEX REPLACE "^[ \t]+|<[^>]*>" "" found "${line}")
    endif()
  endif()
  set(${result} "${path}#${found}" PARENT_SCOPE)
endfunction()

if(NOT converted_status EQUAL 0 OR NOT EXISTS "${converted}/tree.fodt")
  set(check_error "LibreOffice did not convert the export (${converted_status}): ${soffice_log}")
else()
  read_paragraphs("${converted}/tree.fodt" paragraphs)
  set(seen "")
  foreach(paragraph IN LISTS paragraphs)
    while(paragraph MATCHES "\\]\\(([^)]*)\\)")
      set(address "${CMAKE_MATCH_1}")
      describe_address("${address}" described)
      string(REPLACE "](${address})" "]{${described}}" paragraph "${paragraph}")
    endwhile()
    string(APPEND seen "${paragraph}\n")
  endforeach()
  string(REPLACE "${PLAY}" "<work>" seen "${seen}")
  set(wanted [=[Level 1 : <work>/requirements.docx
Level 2 : <work>/design.docx

[1.0.0.0 - Braking]{<work>/requirements.docx#//1.0.0.0// Braking}<tab><tab>
<tab>[1.0.0.0 - Brake pads]{<work>/design.docx#//1.0.0.0// Brake pads}<tab>
<tab>[2.0.0.0 - Brake discs]{<work>/design.docx#//2.0.0.0// Brake discs}<tab>
[1.1.0.0 - Stopping distance]{<work>/requirements.docx#//1.1.0.0// The vehicle shall stop within 40 m.}<tab><tab>
[2.0.0.0 - Steering]{<work>/requirements.docx#//2.0.0.0// Steering}<tab><tab>
<tab>[3.0.0.0 - Steering rack]{<work>/design.docx#//3.0.0.0// Steering rack}<tab>


]=])
  if(NOT seen STREQUAL wanted)
    set(check_error "LibreOffice reads the export as:\n${seen}\ninstead of:\n${wanted}")
  endif()
endif()
