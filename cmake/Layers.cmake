# Layers the build enforces. Every folder's headers are included as "folder/File.h"; a target
# sees the headers of a folder only when it exposes that folder itself (its own) or links a
# library that exposes it (a layer it may use). Each folder gets a directory of its own in the
# build tree holding one link to the source folder, so no include path reaches a folder a target
# does not link, and a wrong include fails to compile.
function(quorvane_expose target folder)
  set(dir "${CMAKE_BINARY_DIR}/layers/${folder}")
  if(NOT EXISTS "${dir}/${folder}")
    file(MAKE_DIRECTORY "${dir}")
    file(CREATE_LINK "${CMAKE_SOURCE_DIR}/${folder}" "${dir}/${folder}" SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE "${dir}")
  else()
    target_include_directories(${target} PUBLIC "${dir}")
  endif()
endfunction()
