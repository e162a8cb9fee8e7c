# Installs the library with its headers and an exported package, so that an application can
#   find_package(QuarnWinRT CONFIG REQUIRED)
#   target_link_libraries(app PRIVATE QuarnWinRT::QuarnWinRT)
include(CMakePackageConfigHelpers)

set(QUARN_CONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/QuarnWinRT)

# On Windows the platform backends are inside the DLL, and the host's libraries are DLLs of
# their own; elsewhere everything is a static library.
if(WIN32)
    set(quarn_installed QuarnWinRT quarn_host quarn_kernel quarn_corvanta quarn_vorta
        quarn_warnings)
else()
    set(quarn_installed QuarnWinRT quarn_host quarn_platform quarn_draw quarn_warnings)
endif()
install(TARGETS ${quarn_installed}
    EXPORT QuarnWinRTTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The exported interface and the bindings it names (host library and platform declarations).
install(DIRECTORY include/quarn DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quarn-winrt
    FILES_MATCHING PATTERN "*.h")
install(DIRECTORY bindings DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quarn-winrt
    FILES_MATCHING PATTERN "*.h")

install(EXPORT QuarnWinRTTargets NAMESPACE QuarnWinRT:: DESTINATION ${QUARN_CONFIG_DIR})
configure_package_config_file(cmake/QuarnWinRTConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/QuarnWinRTConfig.cmake INSTALL_DESTINATION ${QUARN_CONFIG_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/QuarnWinRTConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/QuarnWinRTConfig.cmake
    ${CMAKE_CURRENT_BINARY_DIR}/QuarnWinRTConfigVersion.cmake DESTINATION ${QUARN_CONFIG_DIR})
