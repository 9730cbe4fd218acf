# Run by the test of this folder: installs the build into WORK_DIR/prefix,
# checks what landed there (with the jar's version, VERSION, and its
# Javadoc), builds the examples against it on their own and runs one, and
# loads the installed libPelorixj.so.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(failed)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command}\nfailed (${failed}):\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# Exactly the SDK: nothing of the tests, tools or stand-ins.
file(GLOB_RECURSE installed RELATIVE ${prefix} ${prefix}/*)
list(FILTER installed EXCLUDE REGEX "^lib/cmake/Quorlan/QuorlanTargets-[a-z]+\\.cmake$")
list(SORT installed)
set(expected
  include/quorlan/qrx.h
  lib/cmake/Quorlan/QuorlanConfig.cmake
  lib/cmake/Quorlan/QuorlanConfigVersion.cmake
  lib/cmake/Quorlan/QuorlanTargets.cmake
  lib/libPelorixj.so
  lib/libQuorlan.so
  share/java/pelorix-javadoc.jar
  share/java/pelorix.jar)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "installed:\n  ${installed}\nexpected:\n  ${expected}")
endif()

# The jar names the SDK's version; its Javadoc documents the package.
set(unpacked ${WORK_DIR}/unpacked)
file(MAKE_DIRECTORY ${unpacked}/jar ${unpacked}/javadoc)
run(${CMAKE_COMMAND} -E chdir ${unpacked}/jar ${CMAKE_COMMAND} -E tar xf ${prefix}/share/java/pelorix.jar)
file(STRINGS ${unpacked}/jar/META-INF/MANIFEST.MF version REGEX "^Implementation-Version:")
if(NOT version STREQUAL "Implementation-Version: ${VERSION}")
  message(FATAL_ERROR "pelorix.jar's manifest gives \"${version}\", not version ${VERSION}")
endif()
run(${CMAKE_COMMAND} -E chdir ${unpacked}/javadoc ${CMAKE_COMMAND} -E tar xf ${prefix}/share/java/pelorix-javadoc.jar)
foreach(page index.html com/korvex/pelorix/CoreAPI.html com/korvex/pelorix/DeviceEventListener.html)
  if(NOT EXISTS ${unpacked}/javadoc/${page})
    message(FATAL_ERROR "pelorix-javadoc.jar lacks ${page}")
  endif()
endforeach()

set(LIBRARY ${prefix}/lib/libPelorixj.so)
include(${CHECK_PELORIXJ})

run(${CMAKE_COMMAND} -S ${EXAMPLES_DIR} -B ${WORK_DIR}/examples -G ${GENERATOR}
    -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM} -DCMAKE_C_COMPILER=${C_COMPILER}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
    "-DCMAKE_C_FLAGS=${SANITIZER_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${SANITIZER_FLAGS}")
file(STRINGS ${WORK_DIR}/examples/CMakeCache.txt package_dir REGEX "^Quorlan_DIR:")
if(NOT package_dir STREQUAL "Quorlan_DIR:PATH=${prefix}/lib/cmake/Quorlan")
  message(FATAL_ERROR "the examples found another Quorlan: ${package_dir}")
endif()
run(${CMAKE_COMMAND} --build ${WORK_DIR}/examples)
run(${WORK_DIR}/examples/command_tour)
if(NOT output MATCHES "command 1010 with 81=01: +AA00")
  message(FATAL_ERROR "command_tour against the installed Quorlan printed:\n${output}")
endif()

run(${LOAD_PROBE} ${LIBRARY})
message(STATUS "${output}")
