# CPack pre-build script: writes SHA256SUMS (the format `sha256sum -c` reads) of every
# file staged for the archive, sorted by path.
set(root "${CPACK_TEMPORARY_DIRECTORY}")
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${root}" "${root}/*")
list(REMOVE_ITEM files SHA256SUMS)
list(SORT files)
set(sums "")
foreach(file IN LISTS files)
  file(SHA256 "${root}/${file}" hash)
  string(APPEND sums "${hash}  ${file}\n")
endforeach()
file(WRITE "${root}/SHA256SUMS" "${sums}")
