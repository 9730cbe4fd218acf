# What `cmake --install` puts where (GNU layout): the two libraries in lib/
# (Windows: the DLLs in bin/), Quorlan's header in include/quorlan/, its CMake
# package in lib/cmake/Quorlan/, and the jar and its Javadoc in share/java/.
# Test programs, the simulated reader and the stand-in libraries are not
# installed.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(QUORLAN_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Quorlan)

install(TARGETS Quorlan EXPORT QuorlanTargets FILE_SET HEADERS)
install(EXPORT QuorlanTargets NAMESPACE Quorlan:: DESTINATION ${QUORLAN_PACKAGE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/QuorlanConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/QuorlanConfig.cmake
  INSTALL_DESTINATION ${QUORLAN_PACKAGE_DIR})
# The version check also refuses a build of the other word size.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/QuorlanConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/QuorlanConfig.cmake ${PROJECT_BINARY_DIR}/package/QuorlanConfigVersion.cmake
  DESTINATION ${QUORLAN_PACKAGE_DIR})

# Beside Quorlan, so that its run path $ORIGIN finds it there. Java loads it,
# nobody links it: it is in no CMake package.
if(TARGET Pelorixj)
  # No import library on Windows: Java loads the DLL, no program links it.
  install(TARGETS Pelorixj LIBRARY RUNTIME ARCHIVE EXCLUDE_FROM_ALL)
endif()

if(TARGET pelorix_jar)
  install_jar(pelorix_jar DESTINATION ${CMAKE_INSTALL_DATADIR}/java)
  # Beside the jar, as Java libraries ship their Javadoc.
  get_target_property(javadoc_jar pelorix_javadoc JAR_FILE)
  install(FILES ${javadoc_jar} DESTINATION ${CMAKE_INSTALL_DATADIR}/java)
endif()
