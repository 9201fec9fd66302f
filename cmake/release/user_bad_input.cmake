# Writes the bad-input document of the release (cmake -D SOURCE=<docs/bad-input.md>
# -D TEMPLATE=<bad-input.md.in> -D OUTPUT=<file> -P user_bad_input.cmake): the template,
# written for a user of the release, with the rows of the developers' matrix that hold for
# the Windows build and the five exports. Left out: rows of the native build only, and the
# EEPROM flag rows (internal operations no export calls). The "Builds" column goes.
file(STRINGS "${SOURCE}" lines ENCODING UTF-8)
set(inside FALSE)
set(matrix "| Id | Input | Result | Log and bounds |\n|---|---|---|---|\n")
set(rows 0)
foreach(line IN LISTS lines)
  if(line STREQUAL "<!-- matrix:begin -->")
    set(inside TRUE)
  elseif(line STREQUAL "<!-- matrix:end -->")
    set(inside FALSE)
  elseif(inside AND line MATCHES "^\\| ([A-Z0-9-]+[A-Za-z0-9_-]*) \\| (both|Windows) \\| (.*)$")
    set(id "${CMAKE_MATCH_1}")
    set(rest "${CMAKE_MATCH_3}")
    if(NOT id MATCHES "^(EEP|MEM-EEP)-")
      string(APPEND matrix "| ${id} | ${rest}\n")
      math(EXPR rows "${rows} + 1")
    endif()
  endif()
endforeach()
if(rows LESS 50)
  message(FATAL_ERROR "user_bad_input: only ${rows} rows found in ${SOURCE}")
endif()
string(STRIP "${matrix}" TORVEX_MATRIX)
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
