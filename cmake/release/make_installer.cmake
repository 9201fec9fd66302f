# Makes the per-user installer torvex-<version>-win32.msi from the release's staged files
# (cmake/release/torvex.wxs). Two ways in:
#   - as CPack's External package script (`cpack` in the build folder): the files CPack
#     staged for the release, the project's version;
#   - as a script, to build a package of another version from the same files:
#       cmake -D TORVEX_MSI_STAGE=<tree> -D TORVEX_MSI_VERSION=1.6.6 -D TORVEX_MSI_OUTPUT=<file.msi>
#             [-D TORVEX_WIXL=wixl -D TORVEX_MSIBUILD=msibuild] -P make_installer.cmake
#
# wixl reads a subset of WiX; what it lacks is added to its output with msibuild (SQL on
# the package's tables):
#   - the Environment table, which appends bin\ to the user's PATH on install and takes
#     exactly that entry out again on uninstall ("=-PATH", "[~];[BINDIR]"), with the two
#     standard actions that process it;
#   - torvex.ini's component made permanent (16) and never overwritten (128): the user's
#     setting outlives upgrades and the uninstall.
if(DEFINED CPACK_TEMPORARY_DIRECTORY)
  set(stage "${CPACK_TEMPORARY_DIRECTORY}")
  # A component install stages into a folder of the component's name.
  if(EXISTS "${stage}/${CPACK_TORVEX_RELEASE_COMPONENT}/bin")
    set(stage "${stage}/${CPACK_TORVEX_RELEASE_COMPONENT}")
  endif()
  set(version "${CPACK_PACKAGE_VERSION}")
  set(output "${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi")
  set(wixl "${CPACK_TORVEX_WIXL}")
  set(msibuild "${CPACK_TORVEX_MSIBUILD}")
else()
  get_filename_component(stage "${TORVEX_MSI_STAGE}" ABSOLUTE)
  set(version "${TORVEX_MSI_VERSION}")
  get_filename_component(output "${TORVEX_MSI_OUTPUT}" ABSOLUTE)
  set(wixl wixl)
  set(msibuild msibuild)
  if(TORVEX_WIXL)
    set(wixl "${TORVEX_WIXL}")
  endif()
  if(TORVEX_MSIBUILD)
    set(msibuild "${TORVEX_MSIBUILD}")
  endif()
endif()
if(NOT EXISTS "${stage}/bin/torvex.dll" OR NOT version MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "make_installer: no staged release in '${stage}' or no version X.Y.Z ('${version}')")
endif()

# Each version is its own product (MajorUpgrade needs a new ProductCode), derived from the
# version so that the same version always gets the same code.
string(UUID product_code NAMESPACE 1D747DA4-1E45-489A-B13C-2009E2F0BF69 NAME "torvex ${version}" TYPE SHA1 UPPER)

execute_process(
  COMMAND "${wixl}" --arch x86 -D "Version=${version}" -D "ProductCode=${product_code}"
          -o "${output}" "${CMAKE_CURRENT_LIST_DIR}/torvex.wxs"
  WORKING_DIRECTORY "${stage}"  # the package's sources are relative to the staged tree
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_installer: wixl failed (${status})")
endif()

# One msibuild run per statement: the PATH value holds a semicolon, which a CMake list
# would split.
function(msi_sql statement)
  execute_process(COMMAND "${msibuild}" "${output}" -q "${statement}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    file(REMOVE "${output}")
    message(FATAL_ERROR "make_installer: msibuild failed (${status}) on: ${statement}")
  endif()
endfunction()
msi_sql("UPDATE `Component` SET `Attributes` = 144 WHERE `Component` = 'Settings'")
msi_sql("CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, \
`Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)")
msi_sql("INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) \
VALUES ('UserPath', '=-PATH', '[~];[BINDIR]', 'UserPath')")
msi_sql("INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)")
msi_sql("INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)")

if(DEFINED CPACK_TEMPORARY_DIRECTORY)
  set(CPACK_EXTERNAL_BUILT_PACKAGES "${output}")
endif()
