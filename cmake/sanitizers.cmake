# Sanitizer builds. Each instruments every target of the tree, so that a
# fault is reported where it happens, also inside the test helpers.
option(PELORIX_ASAN_UBSAN "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(PELORIX_TSAN "Build with ThreadSanitizer" OFF)

if(PELORIX_ASAN_UBSAN AND PELORIX_TSAN)
  message(FATAL_ERROR "PELORIX_ASAN_UBSAN and PELORIX_TSAN exclude each other")
endif()

if(PELORIX_ASAN_UBSAN)
  # Undefined behaviour stops the program like any other report; vptr checks
  # need RTTI across the uninstrumented test framework and add nothing here.
  set(PELORIX_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize=vptr
      -fno-sanitize-recover=all -fno-omit-frame-pointer)
elseif(PELORIX_TSAN)
  set(PELORIX_SANITIZER_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
endif()

if(PELORIX_SANITIZER_FLAGS)
  add_compile_options(${PELORIX_SANITIZER_FLAGS})
  add_link_options(${PELORIX_SANITIZER_FLAGS})
  # GCC's instrumentation makes it see uninitialised reads inside the
  # standard library's own code; the plain build keeps the warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
endif()

# libFuzzer targets (fuzz/): clang only. Everything is instrumented for
# coverage, ASan and UBSan; only the fuzz programs link libFuzzer itself.
option(PELORIX_BUILD_FUZZERS "Build the libFuzzer targets (needs clang)" OFF)

if(PELORIX_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "PELORIX_BUILD_FUZZERS needs clang (configure with the fuzz preset)")
  endif()
  if(PELORIX_ASAN_UBSAN OR PELORIX_TSAN)
    message(FATAL_ERROR "PELORIX_BUILD_FUZZERS brings its own sanitizers")
  endif()
  set(PELORIX_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all)
  add_compile_options(-fsanitize=fuzzer-no-link ${PELORIX_FUZZ_SANITIZERS} -fno-omit-frame-pointer)
endif()
