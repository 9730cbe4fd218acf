# Fails unless the names a library exports are exactly the expected ones.
function(compare_export_lists actual expected)
  list(SORT actual)
  list(SORT expected)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "exported: ${actual}\nexpected: ${expected}")
  endif()
  message(STATUS "exports match: ${actual}")
endfunction()
