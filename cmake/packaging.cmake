# Release archive of the Windows build: `cpack` in the build folder (or
# `cmake --build build/windows --target package`) writes torvex-<version>-win32.zip:
#
#   README.md                       the integrator's guide (docs/integrators-guide.md)
#   CHANGELOG.md
#   SHA256SUMS                      of every other file in the archive
#   bin/torvex.dll                  the module
#   bin/torvexctl.exe               console host program
#   bin/torvexgui.exe               the update window
#   bin/torvexcalls.exe             repeats a field log's calls (the command of torvexctl replay's setups)
#   bin/torvex.ini                  points the module at ../simulator
#   include/torvex.h, include/torvex_version.h
#   lib/libtorvex.dll.a             import library for GNU linkers (MinGW)
#   lib/torvex.lib                  import library for MSVC-style linkers
#   lib/torvex.def                  the export definitions both are made from
#   lib/cmake/torvex/               CMake package: find_package(torvex) -> torvex::torvex
#   examples/                       a small C host and its CMakeLists.txt
#   simulator/                      simulated board, its README (sim/README.md), a sample application file
#   docs/                           torvexctl, torvexgui (and the images they show), release
#                                   manifests and trusted keys, installing on a station, the
#                                   module on bad input (made from docs/bad-input.md), a field
#                                   failure replayed
#   docs/fr/                        the technician's guides in French (window, torvexctl,
#                                   installing) and the window's pictures they show
#
# The archive is reproducible: no build time in the binaries, and the zip is rewritten
# with fixed dates and a fixed order (cmake/release/normalize_zip.py).
#
# The same `cpack` also writes torvex-<version>-win32.msi, a per-user Windows Installer
# package of the programs made from the same staged files by wixl (CPack's External
# generator running cmake/release/make_installer.cmake; the package: torvex.wxs).
# `cpack -G ZIP` makes the archive alone, `cpack -G External` the installer alone.
# Include from the top-level CMakeLists.txt after the targets are defined.
if(NOT WIN32)
  return()  # the product is the 32-bit Windows build; native builds are for development
endif()

set(TORVEX_RELEASE_COMPONENT release)
set(release_sources ${PROJECT_SOURCE_DIR}/cmake/release)
set(release_build ${CMAKE_BINARY_DIR}/release)
set(torvex_def ${PROJECT_SOURCE_DIR}/src/torvex.def)

# Import libraries, made from the .def so that they carry exactly its names and ordinals.
# The tools run inside the output folder with plain file names: the GNU tool writes the
# output's name into the library, which must not depend on where the build lies.
find_program(TORVEX_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-16 llvm-dlltool-15 llvm-dlltool-14)
if(NOT CMAKE_DLLTOOL OR NOT TORVEX_LLVM_DLLTOOL)
  message(FATAL_ERROR "the release needs i686-w64-mingw32-dlltool (binutils-mingw-w64-i686) "
                      "and llvm-dlltool (llvm): run scripts/setup")
endif()
set(import_libraries ${release_build}/lib/libtorvex.dll.a ${release_build}/lib/torvex.lib)
file(MAKE_DIRECTORY ${release_build}/lib)
add_custom_command(
  OUTPUT ${import_libraries}
  COMMAND ${CMAKE_DLLTOOL} --deterministic-libraries --input-def ${torvex_def}
          --dllname torvex.dll --output-lib libtorvex.dll.a --temp-prefix torvex_implib
  COMMAND ${TORVEX_LLVM_DLLTOOL} -m i386 -d ${torvex_def} -l torvex.lib
  WORKING_DIRECTORY ${release_build}/lib
  DEPENDS ${torvex_def}
  COMMENT "Making the import libraries libtorvex.dll.a and torvex.lib from torvex.def"
  VERBATIM)

find_program(TORVEX_WIXL wixl)
find_program(TORVEX_MSIBUILD msibuild)
if(NOT TORVEX_WIXL OR NOT TORVEX_MSIBUILD)
  message(FATAL_ERROR "the installer needs wixl and msibuild (Debian packages wixl and msitools): run scripts/setup")
endif()

# The CMake package's version file (the package itself is written by hand).
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${release_build}/torvexConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)

# The bad-input document for a user of the release: the developers' matrix rows that hold
# for this build, in a text without the tests around them.
set(user_bad_input ${release_build}/docs/bad-input.md)
add_custom_command(
  OUTPUT ${user_bad_input}
  COMMAND ${CMAKE_COMMAND} -D SOURCE=${PROJECT_SOURCE_DIR}/docs/bad-input.md
          -D TEMPLATE=${release_sources}/bad-input.md.in -D OUTPUT=${user_bad_input}
          -P ${release_sources}/user_bad_input.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/bad-input.md ${release_sources}/bad-input.md.in
          ${release_sources}/user_bad_input.cmake
  COMMENT "Writing the release's bad-input document"
  VERBATIM)

add_custom_target(torvex_release_files ALL DEPENDS ${import_libraries} ${user_bad_input})
# Everything the archive takes from the build: a second build of this target alone is
# enough to pack the archive again.
add_dependencies(torvex_release_files torvex torvexctl torvexcalls torvexgui torvexctl_demo quelvane)

macro(torvex_release_install kind destination)
  install(${kind} ${ARGN} DESTINATION ${destination} COMPONENT ${TORVEX_RELEASE_COMPONENT})
endmacro()
torvex_release_install(FILES bin $<TARGET_FILE:torvex> $<TARGET_FILE:torvexctl> $<TARGET_FILE:torvexcalls>
                       $<TARGET_FILE:torvexgui> ${release_sources}/torvex.ini)
torvex_release_install(FILES include ${PROJECT_SOURCE_DIR}/include/torvex.h
                       ${PROJECT_SOURCE_DIR}/include/torvex_version.h)
torvex_release_install(FILES lib ${import_libraries} ${torvex_def})
torvex_release_install(FILES lib/cmake/torvex ${release_sources}/torvexConfig.cmake
                       ${release_build}/torvexConfigVersion.cmake)
torvex_release_install(DIRECTORY examples ${PROJECT_SOURCE_DIR}/examples/)
torvex_release_install(FILES simulator $<TARGET_FILE:quelvane> ${PROJECT_SOURCE_DIR}/sim/README.md
                       ${CMAKE_BINARY_DIR}/bin/sample-application.bin)
torvex_release_install(FILES docs ${PROJECT_SOURCE_DIR}/docs/torvexctl.md ${PROJECT_SOURCE_DIR}/docs/torvexgui.md
                       ${PROJECT_SOURCE_DIR}/docs/manifest.md ${PROJECT_SOURCE_DIR}/docs/installing.md
                       ${PROJECT_SOURCE_DIR}/docs/field-replay.md ${user_bad_input})
torvex_release_install(FILES docs/images ${PROJECT_SOURCE_DIR}/docs/images/torvexgui.png
                       ${PROJECT_SOURCE_DIR}/docs/images/torvexgui-outcome.png)
torvex_release_install(FILES docs/fr ${PROJECT_SOURCE_DIR}/docs/fr/torvexgui.md ${PROJECT_SOURCE_DIR}/docs/fr/torvexctl.md
                       ${PROJECT_SOURCE_DIR}/docs/fr/installation.md)
torvex_release_install(FILES docs/fr/images ${PROJECT_SOURCE_DIR}/docs/fr/images/torvexgui.png
                       ${PROJECT_SOURCE_DIR}/docs/fr/images/torvexgui-outcome.png)
torvex_release_install(FILES . ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
install(FILES ${PROJECT_SOURCE_DIR}/docs/integrators-guide.md DESTINATION . RENAME README.md
        COMPONENT ${TORVEX_RELEASE_COMPONENT})

set(CPACK_GENERATOR ZIP External)
set(CPACK_PACKAGE_NAME torvex)
set(CPACK_PACKAGE_VENDOR torvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME torvex-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Only the files above, whatever else the tree (test frameworks included) would install.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};${TORVEX_RELEASE_COMPONENT};/")
# SHA256SUMS is written into the staged tree before it is zipped; the zip is then made
# reproducible.
set(CPACK_PRE_BUILD_SCRIPTS ${release_sources}/write_checksums.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${release_sources}/normalize_zip.cmake)
set(CPACK_TORVEX_SOURCE_DIR ${PROJECT_SOURCE_DIR})
# The installer: staged like the archive, then packed by wixl.
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${release_sources}/make_installer.cmake)
set(CPACK_TORVEX_WIXL ${TORVEX_WIXL})
set(CPACK_TORVEX_MSIBUILD ${TORVEX_MSIBUILD})
set(CPACK_TORVEX_RELEASE_COMPONENT ${TORVEX_RELEASE_COMPONENT})
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(CPACK_TORVEX_PYTHON ${Python3_EXECUTABLE})
include(CPack)
