# CPack post-build script: rewrites each archive CPack made so that it depends on the
# files' contents alone: entries sorted by name, all dated at the commit's time
# (SOURCE_DATE_EPOCH when set), no owner or extra time fields.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C "${CPACK_TORVEX_SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_status ERROR_QUIET)
  if(NOT git_status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    set(epoch 315532800)  # 1980-01-01, the earliest date a zip entry can hold
  endif()
endif()
foreach(archive IN LISTS CPACK_PACKAGE_FILES)
  if(NOT archive MATCHES "\\.zip$")
    continue()  # the installer is packed by wixl, not zipped
  endif()
  execute_process(COMMAND "${CPACK_TORVEX_PYTHON}" "${CMAKE_CURRENT_LIST_DIR}/normalize_zip.py"
                          "${archive}" "${epoch}"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not make ${archive} reproducible")
  endif()
endforeach()
