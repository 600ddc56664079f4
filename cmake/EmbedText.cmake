# quorvane_embed_text(VAR INPUT HEADER VARIABLE COMMENT): compiles the data file INPUT in as the
# string VARIABLE declared in HEADER (cmake/EmbedFile.cmake writes the source); the generated
# source's path goes to VAR, for the library's sources. An edit of the file rebuilds it.
function(quorvane_embed_text var input header variable comment)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${variable}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DHEADER=${header} -DVARIABLE=${variable}
            -P ${CMAKE_SOURCE_DIR}/cmake/EmbedFile.cmake
    DEPENDS ${input} ${CMAKE_SOURCE_DIR}/cmake/EmbedFile.cmake
    COMMENT "${comment}"
    VERBATIM)
  set(${var} ${output} PARENT_SCOPE)
endfunction()
