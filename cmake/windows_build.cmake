# Settings of the mingw-w64 cross builds (see cmake/mingw-w64-*.cmake).

# Windows 7 API level; the Winsock and Windows headers without their extras.
add_compile_definitions(_WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)

if(PELORIX_BUILD_TESTS)
  # No GoogleTest for mingw-w64 exists as a package: build Debian's sources
  # with the cross compiler.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(target gtest gtest_main gmock gmock_main)
    set_target_properties(${target} PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
    if(NOT TARGET GTest::${target})
      add_library(GTest::${target} ALIAS ${target})
    endif()
  endforeach()

  # The host's header-only JSON library, found through a config file of our
  # own so that no other host header enters the include path.
  set(PELORIX_HOST_HEADERS ${CMAKE_BINARY_DIR}/host_headers)
  file(MAKE_DIRECTORY ${PELORIX_HOST_HEADERS})
  file(CREATE_LINK /usr/include/nlohmann ${PELORIX_HOST_HEADERS}/nlohmann SYMBOLIC)
  file(WRITE ${PELORIX_HOST_HEADERS}/nlohmann_jsonConfig.cmake
       "add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)\n"
       "target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${PELORIX_HOST_HEADERS})\n")
  file(WRITE ${PELORIX_HOST_HEADERS}/nlohmann_jsonConfigVersion.cmake
       "set(PACKAGE_VERSION 3)\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
  set(nlohmann_json_DIR ${PELORIX_HOST_HEADERS} CACHE PATH "" FORCE)
endif()
