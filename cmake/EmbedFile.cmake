# Writes OUTPUT: a C++ source defining the string_view VARIABLE holding the bytes of INPUT as a
# raw string literal (run at build time, so an edit of the page rebuilds the program).
file(READ "${INPUT}" content)
set(delimiter "quorvane_embed")
string(FIND "${content}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the raw string delimiter )${delimiter}\"; pick another in EmbedFile.cmake")
endif()
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} at build time; edit that file instead.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace quorvane {\n\nconst std::string_view ${VARIABLE} = R\"${delimiter}(${content})${delimiter}\";\n\n}  // namespace quorvane\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
