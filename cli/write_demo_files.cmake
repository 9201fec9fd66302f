# Writes the demo setup into a build's bin/ folder (run with cmake -P):
#   torvex.ini               pointing the module at the simulated board
#   sample-application.bin   a small application file with a well-formed banner
# Variables: BIN_DIR (the bin/ folder), SIM_PATH (QuelvanePath value), PRINTF (printf program).

if(NOT BIN_DIR OR NOT SIM_PATH OR NOT PRINTF)
  message(FATAL_ERROR "BIN_DIR, SIM_PATH and PRINTF are required")
endif()

file(WRITE "${BIN_DIR}/torvex.ini"
  "; Demo setup written by the build: the module loads the simulated board\n"
  "; (simulator/quelvane.dll). Point QuelvanePath at the folder of the real library\n"
  "; to drive real hardware.\n"
  "[TorvexPath]\n"
  "QuelvanePath=${SIM_PATH}\n")

# printf escapes: text as it stands, bytes as three-digit octal escapes.
function(octal_escape out value)
  math(EXPR high "${value} / 64")
  math(EXPR middle "(${value} / 8) % 8")
  math(EXPR low "${value} % 8")
  set(${out} "\\${high}${middle}${low}" PARENT_SCOPE)
endfunction()

octal_escape(zero 0)
# Bytes 0-7: a header the module does not interpret.
set(format "TVXAPP")
octal_escape(byte 1)
string(APPEND format "${byte}${zero}")
# Bytes 8-55: the banner, five zero-terminated fields of 14, 9, 6, 6 and 8 characters.
foreach(field TORVEX-SAMPLE1 "APP 1.0.0" RUNTIM BOARDA 20261208)
  string(APPEND format "${field}${zero}")
endforeach()
# The application body: 456 bytes of a fixed pattern, so that the file is 512 bytes.
foreach(index RANGE 0 455)
  math(EXPR value "(${index} * 37 + 11) % 256")
  octal_escape(byte ${value})
  string(APPEND format "${byte}")
endforeach()

execute_process(COMMAND "${PRINTF}" "${format}"
                OUTPUT_FILE "${BIN_DIR}/sample-application.bin"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot write ${BIN_DIR}/sample-application.bin (${status})")
endif()
file(SIZE "${BIN_DIR}/sample-application.bin" size)
if(NOT size EQUAL 512)
  message(FATAL_ERROR "sample-application.bin has ${size} bytes instead of 512")
endif()
