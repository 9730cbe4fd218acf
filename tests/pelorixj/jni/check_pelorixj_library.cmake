# Fails unless the library finds its neighbours through the run path
# $ORIGIN and needs none of the libraries that it loads at run time (or the
# Java VM, which loads it).
execute_process(COMMAND objdump -p ${LIBRARY} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump failed on ${LIBRARY}")
endif()
if(NOT headers MATCHES "\n *RUNPATH +\\$ORIGIN\n")
  message(FATAL_ERROR "run path is not $ORIGIN:\n${headers}")
endif()
string(REGEX MATCHALL "NEEDED +[^\n]+" needed "${headers}")
foreach(entry IN LISTS needed)
  if(entry MATCHES "Quorlan|Brannet|jvm")
    message(FATAL_ERROR "links what it should load at run time: ${entry}")
  endif()
endforeach()
message(STATUS "${needed}")
