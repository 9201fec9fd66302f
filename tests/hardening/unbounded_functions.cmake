# Fails when a source of the module, the simulator or the command-line host calls a string
# or buffer function that cannot be told the size of its destination. _splitpath and
# _makepath are allowed in the one file that checks the path's length before using them.
# Usage: cmake -DSOURCE_DIR=<repository> -P unbounded_functions.cmake
set(FORBIDDEN strcpy strcat sprintf vsprintf gets strncpy strncat wcscpy wcscat swprintf
    lstrcpy lstrcpyA lstrcpyW lstrcat lstrcatA lstrcatW StrCpy StrCat _mbscpy _mbscat _tcscpy _tcscat)
set(CHECKED_LENGTH_FIRST _splitpath _makepath)
set(CHECKED_LENGTH_FILE src/platform/windows/module_path.cpp)

string(JOIN "|" forbidden_alternatives ${FORBIDDEN})
string(JOIN "|" checked_alternatives ${CHECKED_LENGTH_FIRST})
# A call: the name not preceded by an identifier character, then an opening parenthesis.
set(forbidden_call "(^|[^A-Za-z0-9_])(${forbidden_alternatives})[ \t]*\\(")
set(checked_call "(^|[^A-Za-z0-9_])(${checked_alternatives})[ \t]*\\(")

set(findings "")
set(scanned 0)
foreach(folder src sim cli)
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
       ${SOURCE_DIR}/${folder}/*.c ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.hpp)
  foreach(source IN LISTS sources)
    math(EXPR scanned "${scanned} + 1")
    # Only the lines that name one of the functions; then the code before any comment.
    file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "(${forbidden_alternatives}|${checked_alternatives})")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "//.*$" "" code "${line}")
      if(code MATCHES "${forbidden_call}")
        string(APPEND findings "${source}: ${CMAKE_MATCH_2}: ${line}\n")
      elseif(code MATCHES "${checked_call}" AND NOT source STREQUAL CHECKED_LENGTH_FILE)
        string(APPEND findings "${source}: ${CMAKE_MATCH_2} outside ${CHECKED_LENGTH_FILE}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(scanned EQUAL 0)
  message(FATAL_ERROR "no sources found under ${SOURCE_DIR}")
endif()
if(findings)
  message(FATAL_ERROR "unbounded string or buffer functions:\n${findings}")
endif()
message(STATUS "${scanned} files checked: no unbounded string or buffer function")
