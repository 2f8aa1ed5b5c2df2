# Fails when a folder of src/core includes a folder above it, or when a folder is
# missing from the order. The order, lowest first (one entry may name several
# folders of the same rank, joined by commas; "." is src/core itself):
set(LAYERS
  ".,numeric"   # base types, streams, owning list, numbers, encodings, character classes
  matrix        # the matrix value
  units         # units and their conversion
  constants     # the constant tables
  device        # drawing device, pictures in memory, styles, formatted text
  notation      # the equation object: text to terms and steps, identifiers
  typeset       # drawing base, formula elements, the element tree of an equation
  eval          # evaluation, tabulation, the option record
  plot          # curves of a formula, axis ticks, table exports
  page          # page and printout composition
  library       # formula libraries and their files
  pictures      # picture decoding and the pictures of a page
  export)       # document and formula export

set(rank 0)
foreach(layer ${LAYERS})
  string(REPLACE "," ";" folders "${layer}")
  foreach(d ${folders})
    set(RANK_${d} ${rank})
  endforeach()
  math(EXPR rank "${rank} + 1")
endforeach()

file(GLOB_RECURSE files RELATIVE "${DIR}" "${DIR}/*.h" "${DIR}/*.hpp" "${DIR}/*.cpp" "${DIR}/*.cc")
set(bad "")
foreach(f ${files})
  get_filename_component(from "${f}" DIRECTORY)
  if(from STREQUAL "")
    set(from ".")
  endif()
  if(NOT DEFINED RANK_${from})
    string(APPEND bad "${f}: folder '${from}' has no place in the order\n")
    continue()
  endif()
  file(STRINGS "${DIR}/${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"core/")
  foreach(l ${lines})
    string(REGEX MATCH "\"core/([^\"]*)\"" m "${l}")
    get_filename_component(to "${CMAKE_MATCH_1}" DIRECTORY)
    if(to STREQUAL "")
      set(to ".")
    endif()
    if(NOT DEFINED RANK_${to})
      string(APPEND bad "${f}: ${l} (folder '${to}' has no place in the order)\n")
    elseif(RANK_${to} GREATER RANK_${from})
      string(APPEND bad "${f}: ${l} (${from} is below ${to})\n")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "src/core: a lower folder includes a higher one:\n${bad}")
endif()
list(LENGTH files n)
message(STATUS "src/core: ${n} files keep the folder order")
