# torvex_test_path(OUT PATH): a build-tree path as the programs that run from this build
# see it, for compiling into tests and benchmarks. Windows programs under Wine see the
# build tree on drive Z.
function(torvex_test_path out path)
  if(WIN32)
    string(REPLACE "/" "\\\\" windows_path "${path}")
    set(${out} "Z:${windows_path}" PARENT_SCOPE)
  else()
    set(${out} "${path}" PARENT_SCOPE)
  endif()
endfunction()
