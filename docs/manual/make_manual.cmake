# Turns one language's manual (CommonMark) into the HTML help file the about
# box opens: cmark writes the body, this script the page around it.
# -DCMARK=program -DSOURCE=en.md -DOUTPUT=file.html -DLANGUAGE=en -DTITLE=...
# -DSCREENSHOTS=folder
# A line "<!-- screenshot: NAME -->" becomes the picture NAME-LANGUAGE.png of
# the screenshots folder when it is there, and stays a comment otherwise.
file(READ "${SOURCE}" text)
string(REGEX MATCHALL "<!-- screenshot: [A-Za-z-]+ -->" marks "${text}")
foreach(mark IN LISTS marks)
  string(REGEX REPLACE "<!-- screenshot: ([A-Za-z-]+) -->" "\\1" name "${mark}")
  set(picture "${SCREENSHOTS}/${name}-${LANGUAGE}.png")
  if(EXISTS "${picture}")
    string(REPLACE "${mark}" "<p class=\"screenshot\"><img src=\"screenshots/${name}-${LANGUAGE}.png\" alt=\"${name}\"></p>" text "${text}")
  endif()
endforeach()
get_filename_component(output_name "${OUTPUT}" NAME)
set(source_with_pictures "${CMAKE_CURRENT_BINARY_DIR}/${output_name}.md")
file(WRITE "${source_with_pictures}" "${text}")
execute_process(COMMAND "${CMARK}" --unsafe --to html "${source_with_pictures}"
                OUTPUT_VARIABLE body RESULT_VARIABLE status ERROR_VARIABLE err)
file(REMOVE "${source_with_pictures}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmark failed on ${SOURCE}: ${err}")
endif()
file(WRITE "${OUTPUT}" "<!DOCTYPE html>
<html lang=\"${LANGUAGE}\">
<head>
<meta charset=\"utf-8\">
<title>${TITLE}</title>
<style>
body { font-family: sans-serif; max-width: 50em; margin: 2em auto; padding: 0 1em;
       line-height: 1.5; color: #222; }
h1, h2, h3 { color: #1f4e79; }
code, pre { background: #f2f2f2; }
pre { padding: 0.5em; overflow-x: auto; }
img { max-width: 100%; border: 1px solid #ccc; }
</style>
</head>
<body>
${body}</body>
</html>
")
