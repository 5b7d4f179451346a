# What `cmake --install` puts in place (the Debian packages split it, see
# debian/*.install): the layout is set at the top of the main list.

# The plug-in, its resource library and the core in the private folder.
install(TARGETS Quillet Quillet_rs quillet_core LIBRARY DESTINATION ${QUILLET_INSTALL_MODULEDIR})
# The stand-ins below it: not beside the plug-in (its run path is $ORIGIN)
# and not in a folder the dynamic loader searches by itself.
install(TARGETS korvid Dravik LIBRARY DESTINATION ${QUILLET_INSTALL_STANDINDIR})
install(DIRECTORY samples/ DESTINATION ${QUILLET_INSTALL_SAMPLEDIR})

install(TARGETS quillet-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES host/quillet-host.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES host/quillet-host.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME quillet-host)
install(FILES README.md DESTINATION ${QUILLET_INSTALL_DOCDIR})
install(DIRECTORY docs DESTINATION ${QUILLET_INSTALL_DOCDIR})

# The header and the find_package(Quillet) package: the imported target
# Quillet::Quillet is the plug-in in the private folder with the header's
# folder. Written by hand rather than exported, so that the core stays out
# of the package's interface.
install(DIRECTORY include/quillet DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
include(CMakePackageConfigHelpers)
set(QUILLET_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Quillet)
configure_package_config_file(cmake/QuilletConfig.cmake.in
  ${CMAKE_BINARY_DIR}/QuilletConfig.cmake
  INSTALL_DESTINATION ${QUILLET_CMAKEDIR}
  PATH_VARS QUILLET_INSTALL_MODULEDIR CMAKE_INSTALL_INCLUDEDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/QuilletConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/QuilletConfig.cmake ${CMAKE_BINARY_DIR}/QuilletConfigVersion.cmake
        DESTINATION ${QUILLET_CMAKEDIR})
