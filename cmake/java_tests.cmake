# pelorix_add_java_test(<qualified test class>
#                       SOURCES <java file>...
#                       [MAIN]
#                       [NATIVE_LIBRARIES <target>...]
#                       [PELORIXJ <target>]
#                       [BRANNET <stand-in variant>]
#                       [ENVIRONMENT <VAR=value>...]
#                       [TIMEOUT <seconds>])
#
# Compiles the Java test sources against pelorix.jar and JUnit 4 and
# registers one CTest test, java.<simple class name>, that runs the class in
# a JVM of its own with -Xcheck:jni and build/lib as java.library.path. The
# class holds JUnit 4 tests, or with MAIN a main method: the test then passes
# when main returns and the JVM ends by itself with status 0.
# NATIVE_LIBRARIES adds the folders of test-only JNI libraries to
# java.library.path; PELORIXJ puts the folder of a test build of Pelorixj
# first, so that the JVM loads it instead of build/lib's. BRANNET puts the folder of a Brannet stand-in variant
# (complete, no_device_list, no_device_response, absent) first on
# LD_LIBRARY_PATH; ENVIRONMENT sets further variables. The test fails on a
# failing JUnit test, on any warning of -Xcheck:jni in the JVM's output
# ("WARNING in native method", or local references beyond a frame's
# capacity), and after TIMEOUT seconds (120 when not given). In the
# sanitizer builds the JVM preloads the sanitizer's runtime, which must come
# before the instrumented libraries. Include it in each directory that adds
# Java tests.
include_guard(DIRECTORY)

find_package(Java 17 REQUIRED COMPONENTS Runtime Development)
include(UseJava)
find_file(PELORIX_JUNIT_JAR junit4.jar PATHS /usr/share/java NO_DEFAULT_PATH REQUIRED)
find_file(PELORIX_HAMCREST_JAR hamcrest-core.jar PATHS /usr/share/java NO_DEFAULT_PATH REQUIRED)

# The JVM is not instrumented: its leaks at exit and the faults it takes on
# purpose (and handles itself) are not ours, nor are races inside it.
if(PELORIX_ASAN_UBSAN)
  set(pelorix_sanitizer_runtime libasan.so)
  set(PELORIX_JVM_SANITIZER_OPTIONS ASAN_OPTIONS=detect_leaks=0:handle_segv=0)
elseif(PELORIX_TSAN)
  set(pelorix_sanitizer_runtime libtsan.so)
  set(PELORIX_JVM_SANITIZER_OPTIONS
      TSAN_OPTIONS=halt_on_error=1:suppressions=${CMAKE_CURRENT_LIST_DIR}/jvm.tsan-suppressions)
endif()
if(pelorix_sanitizer_runtime)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${pelorix_sanitizer_runtime}
                  OUTPUT_VARIABLE pelorix_sanitizer_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
  # The JVM loads no C++ runtime of its own: preloaded after the sanitizer,
  # it is there when the sanitizer looks up the real __cxa_throw at start,
  # so that our libraries can throw.
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++.so.6
                  OUTPUT_VARIABLE pelorix_cxx_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
  list(APPEND PELORIX_JVM_SANITIZER_OPTIONS "LD_PRELOAD=${pelorix_sanitizer_runtime}:${pelorix_cxx_runtime}")
  # The runtime's dlopen asks on libPelorixj.so's behalf, so its run path
  # ($ORIGIN) is not searched: libQuorlan.so is found through this instead.
  list(APPEND PELORIX_JVM_SANITIZER_OPTIONS LD_LIBRARY_PATH=${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
endif()

function(pelorix_add_java_test class)
  cmake_parse_arguments(ARG "MAIN" "BRANNET;TIMEOUT;PELORIXJ" "SOURCES;NATIVE_LIBRARIES;ENVIRONMENT" ${ARGN})
  string(REGEX REPLACE ".*\\." "" name ${class})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()

  set(CMAKE_JAVA_COMPILE_FLAGS --release 17 -Xlint:all)
  if(CMAKE_COMPILE_WARNING_AS_ERROR)
    list(APPEND CMAKE_JAVA_COMPILE_FLAGS -Werror)
  endif()
  add_jar(java_test_${name}
    SOURCES ${ARG_SOURCES}
    INCLUDE_JARS pelorix_jar ${PELORIX_JUNIT_JAR} ${PELORIX_HAMCREST_JAR}
    OUTPUT_DIR ${CMAKE_CURRENT_BINARY_DIR})

  get_target_property(test_jar java_test_${name} JAR_FILE)
  get_target_property(pelorix_jar pelorix_jar JAR_FILE)
  string(JOIN ":" classpath ${test_jar} ${pelorix_jar} ${PELORIX_JUNIT_JAR} ${PELORIX_HAMCREST_JAR})
  set(library_path ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
  if(ARG_PELORIXJ)
    list(PREPEND library_path $<TARGET_FILE_DIR:${ARG_PELORIXJ}>)
    list(APPEND ARG_NATIVE_LIBRARIES ${ARG_PELORIXJ})
  endif()
  foreach(library IN LISTS ARG_NATIVE_LIBRARIES)
    list(APPEND library_path $<TARGET_FILE_DIR:${library}>)
    add_dependencies(java_test_${name} ${library})
  endforeach()
  string(JOIN ":" library_path ${library_path})
  if(ARG_MAIN)
    set(run ${class})
  else()
    set(run org.junit.runner.JUnitCore ${class})
  endif()
  add_test(NAME java.${name}
    COMMAND ${Java_JAVA_EXECUTABLE} -Xcheck:jni -Djava.library.path=${library_path} -cp ${classpath} ${run})
  set_tests_properties(java.${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    FAIL_REGULAR_EXPRESSION "WARNING in native method;WARNING: JNI local refs")
  set_property(TEST java.${name} PROPERTY
    ENVIRONMENT ${PELORIX_JVM_SANITIZER_OPTIONS} ${ARG_ENVIRONMENT})
  if(ARG_BRANNET)
    brannet_standin_folder(${ARG_BRANNET} folder)
    set_property(TEST java.${name} PROPERTY
      ENVIRONMENT_MODIFICATION "LD_LIBRARY_PATH=path_list_prepend:${folder}")
  endif()
endfunction()
