# CMake package of the torvex module, a prebuilt 32-bit Windows DLL:
#
#   find_package(torvex 1.6 CONFIG REQUIRED)
#   target_link_libraries(my_host PRIVATE torvex::torvex)
#
# torvex::torvex carries the include folder, the import library that suits the linker
# (torvex.lib for MSVC-style linkers, libtorvex.dll.a for GNU ones) and the DLL's location.
# Every path is taken relative to this file, so the unpacked archive may lie anywhere.
if(NOT WIN32)
  set(torvex_FOUND FALSE)
  set(torvex_NOT_FOUND_MESSAGE "torvex is a 32-bit Windows DLL: it needs a Windows target")
  return()
endif()

get_filename_component(_torvex_root "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)

if(MSVC OR CMAKE_C_SIMULATE_ID STREQUAL "MSVC" OR CMAKE_CXX_SIMULATE_ID STREQUAL "MSVC")
  set(_torvex_implib "${_torvex_root}/lib/torvex.lib")
else()
  set(_torvex_implib "${_torvex_root}/lib/libtorvex.dll.a")
endif()

if(NOT TARGET torvex::torvex)
  add_library(torvex::torvex SHARED IMPORTED)
  set_target_properties(torvex::torvex PROPERTIES
    IMPORTED_LOCATION "${_torvex_root}/bin/torvex.dll"
    IMPORTED_IMPLIB "${_torvex_implib}"
    INTERFACE_INCLUDE_DIRECTORIES "${_torvex_root}/include")
endif()

unset(_torvex_implib)
unset(_torvex_root)
