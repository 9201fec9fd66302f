# Release archive of the Windows build: `cpack` in the build folder (or
# `cmake --build build/windows --target package`) writes torvex-<version>-win32.zip:
#
#   torvex.dll, torvex.def          the module and its export definitions
#   include/torvex.h, include/torvex_version.h
#   torvexctl.exe                   console host program
#   torvex.ini                      sample: points at the simulator below
#   sample-application.bin          sample application file
#   README.md, docs/torvexctl.md
#   simulator/quelvane.dll          simulated board, for trying things without hardware
#   simulator/README.md
#
# Include from the top-level CMakeLists.txt after the targets are defined.
if(NOT WIN32)
  return()  # the product is the 32-bit Windows build; native builds are for development
endif()

set(TORVEX_RELEASE_COMPONENT release)

install(FILES $<TARGET_FILE:torvex> ${PROJECT_SOURCE_DIR}/src/torvex.def
        DESTINATION . COMPONENT ${TORVEX_RELEASE_COMPONENT})
install(FILES ${PROJECT_SOURCE_DIR}/include/torvex.h ${PROJECT_SOURCE_DIR}/include/torvex_version.h
        DESTINATION include COMPONENT ${TORVEX_RELEASE_COMPONENT})
install(FILES $<TARGET_FILE:torvexctl>
        ${CMAKE_BINARY_DIR}/bin/torvex.ini
        ${CMAKE_BINARY_DIR}/bin/sample-application.bin
        DESTINATION . COMPONENT ${TORVEX_RELEASE_COMPONENT})
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION . COMPONENT ${TORVEX_RELEASE_COMPONENT} OPTIONAL)
install(FILES ${PROJECT_SOURCE_DIR}/docs/torvexctl.md DESTINATION docs COMPONENT ${TORVEX_RELEASE_COMPONENT})
install(FILES $<TARGET_FILE:quelvane> DESTINATION simulator COMPONENT ${TORVEX_RELEASE_COMPONENT})
install(FILES ${PROJECT_SOURCE_DIR}/sim/README.md DESTINATION simulator COMPONENT ${TORVEX_RELEASE_COMPONENT})

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME torvex)
set(CPACK_PACKAGE_VENDOR torvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME torvex-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Only the files above, whatever else the tree (test frameworks included) would install.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};${TORVEX_RELEASE_COMPONENT};/")
include(CPack)
