# Header-only libraries of the hosts (CLI11, nlohmann/json) as the target torvex_third_party.
# The cross build must not see the host's /usr/include (its C library headers would shadow
# the target's): it gets a folder holding only these two.
add_library(torvex_third_party INTERFACE)
if(WIN32)
  set(third_party_dir ${CMAKE_BINARY_DIR}/third-party-include)
  file(MAKE_DIRECTORY ${third_party_dir})
  foreach(library CLI nlohmann)
    if(NOT EXISTS /usr/include/${library})
      message(FATAL_ERROR "/usr/include/${library} is missing: install libcli11-dev and nlohmann-json3-dev")
    endif()
    file(CREATE_LINK /usr/include/${library} ${third_party_dir}/${library} SYMBOLIC)
  endforeach()
  target_include_directories(torvex_third_party SYSTEM INTERFACE ${third_party_dir})
endif()
