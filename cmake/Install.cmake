include(CMakePackageConfigHelpers)

set(TEVRIN_INSTALL_TARGETS TevrinSdk_Halden tevrin_win32 tevrin_fx3driver tevrin)
if(TARGET tevrin_virtualcam)
  list(APPEND TEVRIN_INSTALL_TARGETS tevrin_virtualcam)
endif()
install(TARGETS ${TEVRIN_INSTALL_TARGETS}
  EXPORT TevrinSdk_HaldenTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/TevrinSdk_Halden)
install(FILES include/TevrinSdk_Halden.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/TevrinSdk_Halden)
install(DIRECTORY platform/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/TevrinSdk_Halden/platform)

set(TEVRIN_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/TevrinSdk_Halden)
install(EXPORT TevrinSdk_HaldenTargets NAMESPACE TevrinSdk_Halden:: DESTINATION ${TEVRIN_CMAKE_DIR})
configure_package_config_file(cmake/TevrinSdk_HaldenConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/TevrinSdk_HaldenConfig.cmake INSTALL_DESTINATION ${TEVRIN_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/TevrinSdk_HaldenConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/TevrinSdk_HaldenConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/TevrinSdk_HaldenConfigVersion.cmake DESTINATION ${TEVRIN_CMAKE_DIR})

# Relocatable: the prefix is found from where the .pc file lies, so
# `cmake --install --prefix` anywhere gives a working pkg-config file.
file(RELATIVE_PATH TEVRIN_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(cmake/TevrinSdk_Halden.pc.in ${CMAKE_CURRENT_BINARY_DIR}/TevrinSdk_Halden.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/TevrinSdk_Halden.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
